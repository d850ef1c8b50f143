#include "tools/qxlist/command_line.h"

#include "dataset/text/encoding_names.h"

namespace qxlist {
namespace {

struct CommandRule {
  const char* name;
  std::size_t fileCount;
  const char* const* options;  // null-terminated
  const char* usage;
};

const char* const kNoOptions[] = {nullptr};
const char* const kConvertOptions[] = {"form", "encoding", "pack", "level", nullptr};
const char* const kPackOptions[] = {"zlib", "level", nullptr};
const char* const kPublishOptions[] = {"previous", "form", "encoding", "pack", "level", nullptr};

const CommandRule kCommands[] = {
    {"show", 1, kNoOptions,
     "usage: qxlist show FILE\n"
     "Prints the document's form, its parameters, then each dataset as a table: column ids and\n"
     "types, one line per record with its state (I inserted, U updated, D deleted).\n"
     "FILE may be XML in any declared encoding, binary, or packed (LZSS or zlib).\n"},
    {"check", 1, kNoOptions,
     "usage: qxlist check FILE\n"
     "Reads the document and says whether it is a configuration list or a component list, with\n"
     "its datasets and their row counts. A document that cannot be used is reported with the\n"
     "reason and the byte position, and the exit code is 1.\n"
     "For a component list with a SHA256 column, every row's file (SOURCE and FILENAME beside the\n"
     "list) is hashed; a row whose file is missing or differs is reported, and the exit code is 1.\n"},
    {"convert", 2, kConvertOptions,
     "usage: qxlist convert IN OUT [--form xml|binary] [--encoding NAME] [--pack none|lzss|zlib]\n"
     "                             [--level N]\n"
     "Reads IN in any form and writes OUT in the chosen one. Without options OUT keeps the form,\n"
     "encoding and packing of IN. Record states are kept. --level (0-9) goes with --pack zlib.\n"},
    {"pack", 2, kPackOptions,
     "usage: qxlist pack IN OUT [--zlib [--level N]]\n"
     "Wraps IN in the packed envelope, LZSS unless --zlib (level 0-9, default zlib's own).\n"
     "Input of 17 bytes or less is copied as it is for LZSS; packed input is copied.\n"},
    {"publish", 2, kPublishOptions,
     "usage: qxlist publish SRC OUT [--previous DIR] [--form xml|binary] [--encoding NAME]\n"
     "                              [--pack none|lzss|zlib] [--level N]\n"
     "Turns a folder of components into a server tree. SRC holds one folder per component list;\n"
     "each holds the files of that list and, optionally, manifest.ini saying how they install:\n"
     "\n"
     "  ACTION = COPY            lines before any section: the defaults of every file\n"
     "  TARGET = %COMPONENT%\n"
     "  [*.dll]                  a file name pattern (* and ?); the first match applies\n"
     "  ACTION = DOWNREG\n"
     "  [setup.exe]\n"
     "  ACTION = DOWNRUN\n"
     "  ARGUMENT = /quiet\n"
     "\n"
     "Keys: ACTION (COPY, DOWNREG, DOWNRUN, EXTRACT, CeCab, DELETE, DELETEREG, DOWNLAUNCH, MSI,\n"
     "MSI_; COPY when none), TARGET, ARGUMENT, DEVICE. A section that matches no file is an error.\n"
     "\n"
     "OUT (new or empty) receives config.xml, and per list LIST/components.xml with the files\n"
     "beside it. Each row has FILENAME, VERSION, ACTION, TARGET, SOURCE and the file's SHA256,\n"
     "which clients check before installing. VERSION is the file's version resource; for other\n"
     "files a number raised whenever the content changes. Each list's version in config.xml is\n"
     "raised exactly when that list changed, compared with --previous DIR (the tree published\n"
     "before; without it every version starts at 1). The same input gives the same bytes.\n"
     "Lists are XML in UTF-8 unless --form, --encoding or --pack choose another form.\n"},
    {"unpack", 2, kNoOptions,
     "usage: qxlist unpack IN OUT\n"
     "Removes the packed envelope of IN; input without an envelope is copied as it is.\n"},
};

const char kToolUsage[] =
    "usage: qxlist COMMAND ARGUMENTS...\n"
    "Looks at, checks and converts the list documents published for the updater.\n"
    "\n"
    "commands:\n"
    "  show FILE        the parameters and each dataset as a table\n"
    "  check FILE       the kind of list, its datasets and row counts, or why it is unusable\n"
    "  convert IN OUT   another form: --form xml|binary --encoding NAME --pack none|lzss|zlib\n"
    "                   --level N\n"
    "  pack IN OUT      the packed envelope alone: [--zlib [--level N]]\n"
    "  unpack IN OUT    remove the packed envelope\n"
    "  publish SRC OUT  a server tree from a folder of components: [--previous DIR] and the\n"
    "                   form options of convert\n"
    "\n"
    "qxlist COMMAND --help describes one command.\n"
    "Exit codes: 0 success, 1 bad input (nothing written), 2 usage.\n";

const CommandRule* FindCommand(const std::string& name) {
  for (const CommandRule& rule : kCommands)
    if (name == rule.name) return &rule;
  return nullptr;
}

bool Allows(const CommandRule& rule, const std::string& option) {
  for (const char* const* o = rule.options; *o; ++o)
    if (option == *o) return true;
  return false;
}

bool ParseLevel(const std::string& text, int& level) {
  if (text.size() != 1 || text[0] < '0' || text[0] > '9') return false;
  level = text[0] - '0';
  return true;
}

bool StoreOption(const std::string& name, const std::string& value, CommandLine& line, std::string& problem) {
  if (name == "form") {
    if (value != "xml" && value != "binary") return problem = "--form takes xml or binary", false;
    line.form = value;
  } else if (name == "encoding") {
    if (CodePageFromName(value) == 0) return problem = "unknown encoding '" + value + "'", false;
    line.encoding = value;
  } else if (name == "pack") {
    if (value != "none" && value != "lzss" && value != "zlib") return problem = "--pack takes none, lzss or zlib", false;
    line.pack = value;
  } else if (name == "previous") {
    if (value.empty()) return problem = "--previous needs a folder", false;
    line.previous = value;
  } else if (name == "level") {
    if (!ParseLevel(value, line.level)) return problem = "--level takes a number from 0 to 9", false;
  }
  return true;
}

}  // namespace

bool ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& problem) {
  line = CommandLine();
  if (args.empty()) return problem = "no command given", false;
  std::size_t next = 0;
  if (args[0] == "--help" || args[0] == "-h") {
    line.help = true;
    next = 1;
    if (next < args.size() && FindCommand(args[next])) line.command = args[next];
    return true;
  }
  const CommandRule* rule = FindCommand(args[0]);
  if (!rule) return problem = "unknown command '" + args[0] + "'", false;
  line.command = args[0];
  bool levelGiven = false;
  for (next = 1; next < args.size(); ++next) {
    const std::string& arg = args[next];
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      return true;
    }
    if (arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      line.files.push_back(arg);
      continue;
    }
    std::string name = arg.substr(2), value;
    const std::size_t equals = name.find('=');
    const bool inlineValue = equals != std::string::npos;
    if (inlineValue) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    if (!Allows(*rule, name)) return problem = "unknown option '" + arg + "' for " + line.command, false;
    if (name == "zlib") {
      if (inlineValue) return problem = "--zlib takes no value", false;
      line.zlib = true;
      continue;
    }
    if (!inlineValue) {
      if (next + 1 >= args.size()) return problem = "--" + name + " needs a value", false;
      value = args[++next];
    }
    if (!StoreOption(name, value, line, problem)) return false;
    levelGiven |= name == "level";
  }
  if (line.files.size() != rule->fileCount)
    return problem = line.command + " takes " +
                     (rule->fileCount == 1 ? "one file" : line.command == "publish" ? "two folders (SRC OUT)" : "two files (IN OUT)"),
           false;
  if (levelGiven && line.command == "pack" && !line.zlib) return problem = "--level goes with --zlib", false;
  if (levelGiven && line.command != "pack" && line.pack != "zlib")
    return problem = "--level goes with --pack zlib", false;
  return true;
}

const char* UsageText(const std::string& command) {
  const CommandRule* rule = FindCommand(command);
  return rule ? rule->usage : kToolUsage;
}

}  // namespace qxlist
