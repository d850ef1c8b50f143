#include "tools/qxlist/publish_manifest.h"

#include <cctype>

namespace qxlist {
namespace {

const char* const kActions[] = {"COPY", "DOWNREG", "DOWNRUN", "EXTRACT", "CeCab", "DELETE",
                                "DELETEREG", "DOWNLAUNCH", "MSI", "MSI_"};

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

std::string* FieldOf(FileSettings& settings, const std::string& key) {
  if (SameNoCase(key, "ACTION")) return &settings.action;
  if (SameNoCase(key, "TARGET")) return &settings.target;
  if (SameNoCase(key, "ARGUMENT")) return &settings.argument;
  if (SameNoCase(key, "DEVICE")) return &settings.device;
  return nullptr;
}

bool KnownAction(const std::string& action) {
  for (const char* known : kActions)
    if (SameNoCase(action, known)) return true;
  return false;
}

}  // namespace

bool ParseManifest(const std::string& text, Manifest& manifest, std::string& problem) {
  manifest = Manifest();
  // Editors on Windows often begin a UTF-8 file with a byte order mark.
  std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (int number = 1; start <= text.size(); ++number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = Trimmed(text.substr(start, end - start));
    start = end + 1;
    const std::string where = "line " + std::to_string(number) + ": ";
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line[0] == '[') {
      if (line.back() != ']') return problem = where + "a section is written [pattern]", false;
      ManifestSection section;
      section.pattern = Trimmed(line.substr(1, line.size() - 2));
      if (section.pattern.empty()) return problem = where + "empty file pattern", false;
      manifest.sections.push_back(section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) return problem = where + "expected KEY = value or [pattern]", false;
    const std::string key = Trimmed(line.substr(0, equals));
    const std::string value = Trimmed(line.substr(equals + 1));
    FileSettings& settings = manifest.sections.empty() ? manifest.defaults : manifest.sections.back().values;
    std::string* field = FieldOf(settings, key);
    if (!field) return problem = where + "unknown key '" + key + "' (ACTION, TARGET, ARGUMENT, DEVICE)", false;
    if (field == &settings.action && !KnownAction(value)) return problem = where + "unknown action '" + value + "'", false;
    *field = value;
    if (!manifest.sections.empty()) manifest.sections.back().given.push_back(key);
  }
  return true;
}

FileSettings SettingsFor(const Manifest& manifest, const std::string& fileName, int& section) {
  FileSettings settings = manifest.defaults;
  section = -1;
  for (std::size_t i = 0; i < manifest.sections.size(); ++i) {
    const ManifestSection& candidate = manifest.sections[i];
    if (!MatchesPattern(candidate.pattern, fileName)) continue;
    FileSettings values = candidate.values;
    for (const std::string& key : candidate.given) *FieldOf(settings, key) = *FieldOf(values, key);
    section = static_cast<int>(i);
    break;
  }
  return settings;
}

bool MatchesPattern(const std::string& pattern, const std::string& name) {
  // Iterative matching with one backtrack point: the last '*' seen.
  std::size_t p = 0, n = 0, star = std::string::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || std::toupper(static_cast<unsigned char>(pattern[p])) ==
                                         std::toupper(static_cast<unsigned char>(name[n])))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace qxlist
