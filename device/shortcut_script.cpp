#include "device/shortcut_script.h"

#include "device/path_text.h"

namespace kt::device {

std::string WithLinkExtension(const std::string& shortcutPath) {
  return EndsWithNoCase(shortcutPath, ".lnk") ? shortcutPath : shortcutPath + ".lnk";
}

std::string ScriptLiteral(const std::string& text, UINT codePage) {
  std::string literal = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (::IsDBCSLeadByteEx(codePage, c) && i + 1 < text.size()) {
      literal += text[i];
      literal += text[++i];
      continue;
    }
    if (c == '"' || c == '\\') literal += '\\';
    literal += text[i];
  }
  literal += '"';
  return literal;
}

std::string ShortcutScript(const ShortcutFields& fields, UINT codePage) {
  auto literal = [codePage](const std::string& text) { return ScriptLiteral(text, codePage); };
  std::string script;
  auto line = [&script](const std::string& text) { script += text + "\r\n"; };

  line("var fso;");
  line("fso = new ActiveXObject(\"Scripting.FileSystemObject\");");
  const std::string folder = FolderOf(fields.shortcutPath, codePage);
  auto createFolder = [&](size_t length) {
    if (length <= 2) return;  // the drive itself
    const std::string prefix = literal(folder.substr(0, length));
    line("if( ! fso.FolderExists(" + prefix + ") )");
    line("\tfso.CreateFolder(" + prefix + ");");
  };
  ForEachBackslash(folder, codePage, createFolder);
  createFolder(folder.size());

  line("var WshShell = WScript.CreateObject(\"WScript.Shell\");");
  line("var oShellLink = WshShell.CreateShortcut(" + literal(WithLinkExtension(fields.shortcutPath)) + ");");
  line("oShellLink.TargetPath = " + literal(fields.target) + ";");
  if (!fields.arguments.empty()) line("oShellLink.Arguments = " + literal(fields.arguments) + ";");
  if (!fields.iconLocation.empty()) line("oShellLink.IconLocation = " + literal(fields.iconLocation) + ";");
  if (!fields.workingFolder.empty()) line("oShellLink.WorkingDirectory = " + literal(fields.workingFolder) + ";");
  if (!fields.description.empty()) line("oShellLink.Description = " + literal(fields.description) + ";");
  line("oShellLink.Save();");
  return script;
}

}  // namespace kt::device
