#include "device/shell_link.h"

#include <shlobj.h>

#include "config/wide_text.h"
#include "device/com_ptr.h"

namespace kt::device {

HRESULT SaveShellLink(const ShortcutFields& fields) {
  ComApartment apartment;
  if (!apartment.Usable()) return apartment.Result();
  ComPtr<IShellLinkA> link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid());
  if (FAILED(hr)) return hr;
  hr = link->SetPath(fields.target.c_str());
  if (SUCCEEDED(hr) && !fields.arguments.empty()) hr = link->SetArguments(fields.arguments.c_str());
  if (SUCCEEDED(hr) && !fields.iconLocation.empty()) hr = link->SetIconLocation(fields.iconLocation.c_str(), 0);
  if (SUCCEEDED(hr) && !fields.workingFolder.empty()) hr = link->SetWorkingDirectory(fields.workingFolder.c_str());
  if (SUCCEEDED(hr) && !fields.description.empty()) hr = link->SetDescription(fields.description.c_str());
  if (FAILED(hr)) return hr;

  ComPtr<IPersistFile> file;
  hr = link->QueryInterface(IID_IPersistFile, file.PutVoid());
  if (FAILED(hr)) return hr;
  std::wstring widePath;
  if (!kt::AnsiToWide(WithLinkExtension(fields.shortcutPath), widePath)) return E_INVALIDARG;
  return file->Save(widePath.c_str(), TRUE);
}

}  // namespace kt::device
