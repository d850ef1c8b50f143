#pragma once
// The columns of component and configuration lists, and where a dataset holds them.
class Kt_Dataset;

namespace kt::engine {

inline constexpr char kColumnSource[] = "SOURCE";
inline constexpr char kColumnFileName[] = "FILENAME";
inline constexpr char kColumnTarget[] = "TARGET";
inline constexpr char kColumnVersion[] = "VERSION";
inline constexpr char kColumnStatus[] = "STATUS";
inline constexpr char kColumnAction[] = "ACTION";
inline constexpr char kColumnDevice[] = "DEVICE";
inline constexpr char kColumnArgument[] = "ARGUMENT";
inline constexpr char kColumnOldVersion[] = "OLDVERSION";
inline constexpr char kColumnPatchFileName[] = "PATCHFILENAME";
inline constexpr char kColumnUacFix[] = "UACFIX";
// Optional: the SHA-256 of the published file in hexadecimal; a download must match it.
inline constexpr char kColumnSha256[] = "SHA256";

// Column indices of one dataset, looked up once by name; -1 for a column it lacks.
struct ListColumns {
  explicit ListColumns(const Kt_Dataset& dataset);

  int source;
  int fileName;
  int target;
  int version;
  int status;
  int action;
  int device;
  int argument;
  int oldVersion;
  int patchFileName;
  int uacFix;
};

// Empties `working` and adds the list columns as string columns of size 255, in the order
// SOURCE, FILENAME, TARGET, VERSION, STATUS, ACTION, DEVICE, ARGUMENT, OLDVERSION, PATCHFILENAME,
// UACFIX; a configuration list has no FILENAME. False when a column could not be added.
bool PrepareWorkingList(Kt_Dataset& working, bool withFileName);

}  // namespace kt::engine
