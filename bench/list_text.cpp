#include "list_text.h"

#include <cstdio>

std::string MakeComponentListText(int rows) {
  static const char* const kColumns[] = {"SOURCE", "FILENAME", "TARGET", "VERSION", "STATUS",
                                         "ACTION", "DEVICE", "ARGUMENT", "UACFIX"};
  std::string text = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\r\n<root>\r\n\t<params>\r\n"
                     "\t\t<param id=\"DEVICE\" type=\"STRING\">WIN32</param>\r\n\t</params>\r\n"
                     "\t<dataset id=\"COMPONENTS\">\r\n";
  for (const char* column : kColumns) {
    text += "\t\t<colinfo id=\"";
    text += column;
    text += "\" size=\"255\" type=\"STRING\"/>\r\n";
  }
  char cell[96];
  for (int row = 0; row < rows; ++row) {
    text += "\t\t<record>\r\n";
    const std::string values[] = {
        "bin/" + std::to_string(row % 37), "QxModule" + std::to_string(row) + ".dll",
        "%COMPONENT%", std::to_string(1 + row % 5) + "," + std::to_string(row % 10) + ",0," +
            std::to_string(row),
        std::to_string(row % 3), row % 4 == 0 ? "DOWNREG" : "", "WIN32", "", row % 9 == 0 ? "true" : ""};
    for (int c = 0; c < 9; ++c) {
      if (values[c].empty()) {
        std::snprintf(cell, sizeof cell, "\t\t\t<%s/>\r\n", kColumns[c]);
        text += cell;
      } else {
        text += "\t\t\t<";
        text += kColumns[c];
        text += ">";
        text += values[c];
        text += "</";
        text += kColumns[c];
        text += ">\r\n";
      }
    }
    text += "\t\t</record>\r\n";
  }
  text += "\t</dataset>\r\n</root>";
  return text;
}
