#include "dataset/text/platform.h"

namespace {

struct ErrorText {
  std::uint32_t error;
  const char* text;
};

// The messages Windows gives for the errors this system meets most; other numbers have no text
// here, as a Windows error number means nothing to the POSIX C library.
constexpr ErrorText kErrorTexts[] = {
    {0, "The operation completed successfully."},
    {1, "Incorrect function."},
    {2, "The system cannot find the file specified."},
    {3, "The system cannot find the path specified."},
    {4, "The system cannot open the file."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {8, "Not enough memory resources are available to process this command."},
    {14, "Not enough memory resources are available to complete this operation."},
    {15, "The system cannot find the drive specified."},
    {32, "The process cannot access the file because it is being used by another process."},
    {33, "The process cannot access the file because another process has locked a portion of the file."},
    {38, "Reached the end of the file."},
    {39, "The disk is full."},
    {50, "The request is not supported."},
    {80, "The file exists."},
    {87, "The parameter is incorrect."},
    {112, "There is not enough space on the disk."},
    {122, "The data area passed to a system call is too small."},
    {123, "The filename, directory name, or volume label syntax is incorrect."},
    {126, "The specified module could not be found."},
    {127, "The specified procedure could not be found."},
    {145, "The directory is not empty."},
    {183, "Cannot create a file when that file already exists."},
    {193, "%1 is not a valid Win32 application."},
    {206, "The filename or extension is too long."},
    {1223, "The operation was canceled by the user."},
    {1603, "Fatal error during installation."},
    {1618, "Another installation is already in progress. Complete that installation before proceeding with this install."},
    {1619, "This installation package could not be opened. Verify that the package exists and that you can access it, or contact the application vendor to verify that this is a valid Windows Installer package."},
    {1638, "Another version of this product is already installed. Installation of this version cannot continue. To configure or remove the existing version of this product, use Add/Remove Programs on the Control Panel."},
    {3010, "The requested operation is successful. Changes will not be effective until the system is rebooted."},
};

}  // namespace

namespace kt_platform {

bool SystemMessage(std::uint32_t error, Kt_AString& text) noexcept {
  // A Win32 error wrapped as a result code (0x8007xxxx) has the same text as the bare error.
  if ((error & 0xFFFF0000u) == 0x80070000u) error &= 0xFFFFu;
  for (const ErrorText& row : kErrorTexts) {
    if (row.error == error) return text.Assign(row.text);
  }
  return false;
}

}  // namespace kt_platform
