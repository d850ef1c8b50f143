// Merging a large component list with its local copy, the machine answered from memory: the
// local rows are indexed once, so the merge grows in proportion to the list sizes.
#include <benchmark/benchmark.h>

#include <string>

#include "dataset/model/dataset.h"
#include "dataset/values/variable.h"
#include "engine/core/item_environment.h"
#include "engine/core/key_index.h"
#include "engine/core/list_merge.h"

namespace {

using namespace kt::engine;

// Every installed file is known by its path; versions, classes and products are not asked for by
// the lists below.
class InstalledFiles : public ItemEnvironment {
 public:
  explicit InstalledFiles(int count) {
    files_.Reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) files_.Add(("C:\\Quorix\\Component\\" + FileName(i)).c_str(), i);
  }
  static std::string FileName(int i) { return "component" + std::to_string(i) + ".dll"; }

  std::int32_t CurrentDeviceKind() override { return 0; }
  Kt_AString ResolveTarget(const Kt_AString&) override { return componentFolder_; }
  Kt_AString ExecFolder() override { return "C:\\Quorix\\"; }
  Kt_AString SystemFolder() override { return "C:\\Windows\\System32\\"; }
  Kt_AString SetupFolder() override { return "C:\\Temp\\Setup\\"; }
  // File names compare without regard to case, as on Windows.
  bool FileExists(const Kt_AString& path) override { return files_.Find(path) >= 0; }
  bool DownloadExists(const Kt_AString&) override { return false; }
  Kt_AString FileVersion(const Kt_AString&) override { return Kt_AString(); }
  ClassLookup FindClassServer(const Kt_AString&, Kt_AString&) override { return ClassLookup::kNotRegistered; }
  bool ProductInstalled(const Kt_AString&) override { return false; }
  bool InstalledProductVersion(const Kt_AString&, Kt_AString&) override { return false; }
  bool PackageValid(const Kt_AString&) override { return false; }
  bool PackageVersion(const Kt_AString&, Kt_AString&) override { return false; }

 private:
  const Kt_AString componentFolder_ = "C:\\Quorix\\Component\\";
  KeyIndex files_;
};

void AddColumns(Kt_Dataset& list, std::initializer_list<const char*> names) {
  for (const char* name : names) list.AddColumn(name, Kt_ColType::String);
}

// The server list: every row a plain copy into the component folder, one in ten of a newer
// version. The local copy holds the same files in reverse order, their names in capitals.
void MakeLists(int rows, Kt_Dataset& server, Kt_Dataset& local) {
  AddColumns(server, {"SOURCE", "FILENAME", "TARGET", "VERSION", "ACTION"});
  AddColumns(local, {"SOURCE", "FILENAME", "TARGET", "VERSION", "STATUS", "ACTION"});
  for (int i = 0; i < rows; ++i) {
    const int row = server.AppendRecord(false);
    server.SetCellText(row, 0, "bin");
    server.SetCellText(row, 1, InstalledFiles::FileName(i).c_str());
    server.SetCellText(row, 2, "%COMPONENT%");
    server.SetCellText(row, 3, i % 10 == 0 ? "1.0.1.0" : "1.0.0.0");
    server.SetCellText(row, 4, "DOWNREG");
  }
  for (int i = rows - 1; i >= 0; --i) {
    std::string name = InstalledFiles::FileName(i);
    for (char& ch : name) ch = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch);
    const int row = local.AppendRecord(false);
    local.SetCellText(row, 0, "bin");
    local.SetCellText(row, 1, name.c_str());
    local.SetCellText(row, 2, "%COMPONENT%");
    local.SetCellText(row, 3, "1.0.0.0");
    local.SetCellText(row, 4, "2");
    local.SetCellText(row, 5, "DOWNREG");
  }
}

void MergeComponentList(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  Kt_Dataset server;
  Kt_Dataset local;
  MakeLists(rows, server, local);
  Kt_ParamList parameters;
  InstalledFiles environment(rows);
  const SecurityContext context{true, true, true, true};
  MergeCounts counts;
  // The engine keeps its working list from one list to the next; each merge clears it first.
  Kt_Dataset working;
  for (auto _ : state) {
    if (!MergeLists({server, parameters}, {local, parameters}, false, context, environment, working, counts) ||
        working.RecordCount() != rows) {
      state.SkipWithError("merge failed");
      break;
    }
    benchmark::DoNotOptimize(working.RecordCount());
  }
  state.counters["rows"] = rows;
  state.counters["download"] = counts.download;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * rows);
}

BENCHMARK(MergeComponentList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
