#include "tools/qxlist/publish.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <vector>

#include "engine/core/download_file_name.h"
#include "engine/core/list_columns.h"
#include "engine/core/version_compare.h"
#include "tools/qxlist/pe_version.h"
#include "tools/qxlist/publish_manifest.h"
#include "tools/qxlist/qxlist_app.h"
#include "tools/qxlist/sha256.h"

namespace qxlist {
namespace fs = std::filesystem;
namespace {

using namespace kt::engine;

constexpr unsigned kUtf8 = 65001;
constexpr char kDefaultAction[] = "COPY";
// Files lie beside their list: the location relative to the list's folder.
constexpr char kBesideTheList[] = ".";

struct PublishedFile {
  std::string name;
  Bytes data;
  std::string sha256;
  std::string version;
  FileSettings settings;
};

struct PublishedList {
  std::string name;
  std::vector<PublishedFile> files;
  Bytes document;
  std::string version;
  bool changed = true;
};

// What the previous tree said about one list: its version in the configuration list and the
// version and hash of each of its files by upper-cased name.
struct PreviousList {
  bool present = false;
  std::string version;
  Bytes document;  // rewritten in this publication's form, to compare with the new one
  std::map<std::string, std::pair<std::string, std::string>> files;
};

class Failed {
 public:
  Failed(std::string file, std::string problem) : file(std::move(file)), problem(std::move(problem)) {}
  std::string file, problem;
};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Cell(const Kt_Dataset& dataset, int row, const char* column) {
  const Kt_AString text = dataset.GetCell(row, column).ToString();
  return std::string(text.c_str(), text.Length());
}

std::string Utf8Name(const fs::path& path) {
  const auto name = path.filename().u8string();
  return std::string(name.begin(), name.end());
}

// A name that goes into a URL unescaped and becomes a file on the client.
void CheckPublishedName(const std::string& name, const std::string& where) {
  std::string problem = DownloadFileNameProblem(name);
  if (problem.empty() && name.find_first_of(" #?%") != std::string::npos)
    problem = "a blank, '#', '?' or '%' cannot stand in an address unescaped";
  if (!problem.empty()) throw Failed(where, "cannot be published: " + problem);
}

std::vector<fs::path> SortedEntries(const fs::path& folder) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    entries.push_back(it->path());
  if (error) throw Failed(folder.string(), "cannot list: " + error.message());
  std::sort(entries.begin(), entries.end(), [](const fs::path& a, const fs::path& b) {
    return Utf8Name(a) < Utf8Name(b);
  });
  return entries;
}

Bytes ReadOrFail(const fs::path& path) {
  Bytes data;
  std::string problem;
  if (!ReadWholeFile(path.string(), data, problem)) throw Failed(path.string(), problem);
  return data;
}

// The document's text stays in the code page it was read in; the previous tree's lists are
// compared with the new ones, which hold names of the same kind.
void ReadDocumentOrFail(const fs::path& path, ListDocument& document) {
  WorkingCodePage codePage;
  std::string problem;
  if (!ReadListDocument(ReadOrFail(path), document, codePage, problem)) throw Failed(path.string(), problem);
  if (document.datasets.Count() == 0) throw Failed(path.string(), "the document holds no dataset");
}

Bytes Written(const ListDocument& document, const WriteChoice& choice, const std::string& where) {
  Bytes data;
  std::string problem;
  if (!WriteListDocument(document, choice, data, problem)) throw Failed(where, problem);
  return data;
}

Kt_Dataset& NewDataset(ListDocument& document, const char* id, std::initializer_list<const char*> columns) {
  Kt_Dataset& dataset = *static_cast<Kt_Dataset*>(document.datasets.AppendNew());
  dataset.SetId(id);
  for (const char* column : columns) dataset.AddColumn(column, Kt_ColType::String, kDefaultColumnSize);
  return dataset;
}

void AppendRow(Kt_Dataset& dataset, std::initializer_list<std::pair<const char*, std::string>> cells) {
  const int row = dataset.AppendRecord(false);
  for (const auto& cell : cells) dataset.SetCellText(row, cell.first, Kt_AString(cell.second.c_str(), cell.second.size()));
}

Bytes ComponentListDocument(const PublishedList& list, const WriteChoice& choice, const std::string& where) {
  ListDocument document;
  Kt_Dataset& dataset = NewDataset(document, "COMPONENTS",
                                   {kColumnSource, kColumnFileName, kColumnTarget, kColumnVersion, kColumnAction,
                                    kColumnDevice, kColumnArgument, kColumnSha256});
  for (const PublishedFile& file : list.files) {
    AppendRow(dataset, {{kColumnSource, kBesideTheList}, {kColumnFileName, file.name},
                        {kColumnTarget, file.settings.target}, {kColumnVersion, file.version},
                        {kColumnAction, file.settings.action}, {kColumnDevice, file.settings.device},
                        {kColumnArgument, file.settings.argument}, {kColumnSha256, file.sha256}});
  }
  return Written(document, choice, where);
}

Bytes ConfigurationDocument(const std::vector<PublishedList>& lists, const std::string& version,
                            const WriteChoice& choice, const std::string& where) {
  ListDocument document;
  document.params.Set("CONFIG", Kt_Variant::FromString(Kt_AString("true")));
  document.params.Set(kColumnVersion, Kt_Variant::FromString(Kt_AString(version.c_str())));
  Kt_Dataset& dataset = NewDataset(document, "WIN32", {kColumnSource, kColumnVersion});
  for (const PublishedList& list : lists)
    AppendRow(dataset, {{kColumnSource, list.name + "/" + kComponentListName}, {kColumnVersion, list.version}});
  return Written(document, choice, where);
}

Manifest ReadManifest(const fs::path& folder) {
  Manifest manifest;
  const fs::path path = folder / kManifestName;
  if (!fs::exists(path)) return manifest;
  const Bytes text = ReadOrFail(path);
  std::string problem;
  if (!ParseManifest(std::string(text.begin(), text.end()), manifest, problem)) throw Failed(path.string(), problem);
  return manifest;
}

PreviousList ReadPreviousList(const fs::path& previous, const ListDocument* configuration, const std::string& name,
                              const WriteChoice& choice) {
  PreviousList result;
  if (!configuration) return result;
  const Kt_Dataset& rows = *configuration->datasets.At(0);
  const std::string source = name + "/" + kComponentListName;
  for (int row = 0; row < rows.RecordCount(); ++row)
    if (Cell(rows, row, kColumnSource) == source) {
      result.present = true;
      result.version = Cell(rows, row, kColumnVersion);
    }
  const fs::path path = previous / name / kComponentListName;
  if (!result.present || !fs::exists(path)) return result;
  ListDocument document;
  ReadDocumentOrFail(path, document);
  const Kt_Dataset& files = *document.datasets.At(0);
  for (int row = 0; row < files.RecordCount(); ++row)
    result.files[Upper(Cell(files, row, kColumnFileName))] = {Cell(files, row, kColumnVersion),
                                                              Upper(Cell(files, row, kColumnSha256))};
  result.document = Written(document, choice, path.string());
  return result;
}

// The version of one file: its version resource, which must go up when the content changed,
// else the previous number, raised when the content changed.
std::string FileVersion(const PublishedFile& file, const PreviousList& previous, const std::string& where,
                        std::ostream& err) {
  std::string resource;
  const PeVersionResult read = ReadPeFileVersion(file.data.data(), file.data.size(), resource);
  if (read == PeVersionResult::kDamaged)
    err << "qxlist: " << where << ": damaged program headers, versioned by content\n";
  const auto before = previous.files.find(Upper(file.name));
  const bool known = before != previous.files.end();
  const bool changed = !known || before->second.second != Upper(file.sha256);
  if (read == PeVersionResult::kFound) {
    if (known && changed && CompareVersions(resource, before->second.first) <= 0)
      throw Failed(where, "content changed but its version resource says " + resource + ", not above the " +
                              before->second.first + " published before: clients would not fetch it");
    return resource;
  }
  if (!known) return "1";
  return changed ? NextVersion(before->second.first) : before->second.first;
}

PublishedList PlanList(const fs::path& folder, const fs::path& previous, const ListDocument* previousConfiguration,
                       const WriteChoice& choice, std::ostream& err) {
  PublishedList list;
  list.name = Utf8Name(folder);
  CheckPublishedName(list.name, folder.string());
  const Manifest manifest = ReadManifest(folder);
  const PreviousList before = ReadPreviousList(previous, previousConfiguration, list.name, choice);
  std::vector<bool> used(manifest.sections.size(), false);
  for (const fs::path& entry : SortedEntries(folder)) {
    PublishedFile file;
    file.name = Utf8Name(entry);
    if (file.name == kManifestName) continue;
    if (fs::is_directory(entry)) throw Failed(entry.string(), "a component list's folder holds files only");
    CheckPublishedName(file.name, entry.string());
    // Clients find a file's row by its name without regard to case.
    for (const PublishedFile& other : list.files)
      if (Upper(other.name) == Upper(file.name))
        throw Failed(entry.string(), "differs from " + other.name + " only in case; clients could not tell them apart");
    file.data = ReadOrFail(entry);
    file.sha256 = Sha256Hex(file.data);
    int section = -1;
    file.settings = SettingsFor(manifest, file.name, section);
    if (section >= 0) used[section] = true;
    if (file.settings.action.empty()) file.settings.action = kDefaultAction;
    file.version = FileVersion(file, before, entry.string(), err);
    list.files.push_back(std::move(file));
  }
  if (list.files.empty()) throw Failed(folder.string(), "no files to publish");
  for (std::size_t i = 0; i < used.size(); ++i)
    if (!used[i]) throw Failed((folder / kManifestName).string(), "[" + manifest.sections[i].pattern + "] matches no file");
  list.document = ComponentListDocument(list, choice, folder.string());
  list.changed = !before.present || before.document != list.document;
  list.version = !before.present ? "1" : list.changed ? NextVersion(before.version) : before.version;
  return list;
}

void WriteOrFail(const fs::path& path, const Bytes& data) {
  std::string problem;
  if (!WriteFileReplacing(path.string(), data, problem)) throw Failed(path.string(), problem);
}

void CheckOutputFolder(const fs::path& out) {
  std::error_code error;
  if (!fs::exists(out, error)) return;
  if (!fs::is_directory(out, error) || !fs::is_empty(out, error))
    throw Failed(out.string(), "the output must be a new or empty folder (publish into a fresh folder, then swap it in)");
}

}  // namespace

std::string NextVersion(const std::string& previous) {
  const std::size_t cut = previous.find_last_of(".,");
  const std::size_t start = cut == std::string::npos ? 0 : cut + 1;
  std::size_t digits = start;
  while (digits < previous.size() && std::isdigit(static_cast<unsigned char>(previous[digits]))) ++digits;
  if (digits == start) return previous.substr(0, start) + "1";
  // Decimal increment of the digits, so that numbers of any length go up by exactly one.
  std::string number = previous.substr(start, digits - start);
  std::size_t at = number.size();
  while (at > 0 && number[at - 1] == '9') number[--at] = '0';
  if (at == 0) number.insert(number.begin(), '1');
  else ++number[at - 1];
  return previous.substr(0, start) + number;
}

int Publish(const PublishRequest& request, std::ostream& out, std::ostream& err) {
  WorkingCodePage utf8;
  utf8.Choose(kUtf8);
  const fs::path source = fs::u8path(request.source), target = fs::u8path(request.out);
  bool created = false;
  bool writing = false;  // from here on OUT holds only what this publication wrote
  try {
    if (!fs::is_directory(source)) throw Failed(request.source, "not a folder");
    CheckOutputFolder(target);
    ListDocument previousConfiguration;
    const bool hasPrevious = !request.previous.empty();
    const fs::path previous = fs::u8path(request.previous);
    if (hasPrevious) ReadDocumentOrFail(previous / kConfigurationListName, previousConfiguration);

    std::vector<PublishedList> lists;
    for (const fs::path& entry : SortedEntries(source)) {
      if (!fs::is_directory(entry)) throw Failed(entry.string(), "only component list folders belong in the source");
      lists.push_back(PlanList(entry, previous, hasPrevious ? &previousConfiguration : nullptr, request.choice, err));
    }
    if (lists.empty()) throw Failed(request.source, "no component list folders");

    // The configuration's own version goes up when any of its rows changed.
    std::string version = "1";
    if (hasPrevious) {
      const Kt_Variable* before = previousConfiguration.params.Find(kColumnVersion);
      const Kt_AString text = before ? before->value.ToString() : Kt_AString();
      version = std::string(text.c_str(), text.Length());
      const Bytes again = Written(previousConfiguration, request.choice, request.previous);
      if (ConfigurationDocument(lists, version, request.choice, request.out) != again)
        version = NextVersion(version);
    }
    const Bytes configuration = ConfigurationDocument(lists, version, request.choice, request.out);

    created = !fs::exists(target);
    writing = true;
    std::error_code error;
    fs::create_directories(target, error);
    if (error) throw Failed(request.out, "cannot create: " + error.message());
    for (const PublishedList& list : lists) {
      const fs::path folder = target / fs::u8path(list.name);
      fs::create_directory(folder, error);
      if (error) throw Failed(folder.string(), "cannot create: " + error.message());
      for (const PublishedFile& file : list.files) WriteOrFail(folder / fs::u8path(file.name), file.data);
      WriteOrFail(folder / kComponentListName, list.document);
      out << list.name << "/" << kComponentListName << ": version " << list.version
          << (list.changed ? " (changed)" : " (unchanged)") << ", " << list.files.size() << " files\n";
      for (const PublishedFile& file : list.files)
        out << "  " << file.name << "  " << file.version << "  " << file.settings.action << "  " << file.sha256 << '\n';
    }
    WriteOrFail(target / kConfigurationListName, configuration);
    out << kConfigurationListName << ": version " << version << '\n';
    return kExitSuccess;
  } catch (const Failed& failed) {
    err << "qxlist: " << failed.file << ": " << failed.problem << '\n';
  } catch (const std::exception& failed) {
    err << "qxlist: " << request.out << ": " << failed.what() << '\n';
  }
  // Nothing half-written stays: the output folder was new or empty before.
  std::error_code ignored;
  if (writing && fs::exists(target, ignored)) {
    for (const fs::path& entry : fs::directory_iterator(target, ignored)) fs::remove_all(entry, ignored);
    if (created) fs::remove(target, ignored);
  }
  return kExitBadInput;
}

}  // namespace qxlist
