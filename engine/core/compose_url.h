#pragma once
// How the engine finds a component list or a file on a server: a location relative to the list
// that names it, or a full URL or a local path of its own.
#include <string>

namespace kt::engine {

struct ComposedUrl {
  std::string scheme;  // "http", "https", "file", ... as given; "http" when none was given
  std::string rest;    // what follows "://"

  std::string Url() const { return scheme + "://" + rest; }
};

// A relative location that is itself a URL ("scheme://...") or a local path (a drive with ':'
// and '\', or a leading '\') stands alone. Otherwise it is appended to the base (a URL, a local
// path, or a bare "host/folder" taken as http), with one separator between them: a separator is
// added only after a letter or digit, and the relative part's own leading separator is dropped
// when one was added. In file locations every '/' becomes '\'. Finally every "/./" becomes "/".
ComposedUrl ComposeUrl(const std::string& base, const std::string& relative);

// The URL cut before its last '/' (the whole URL when it has none).
std::string UrlFolder(const std::string& url);

// The component list of a configuration-list row: its SOURCE relative to the configuration
// list's folder.
std::string ComponentListUrl(const std::string& configurationListUrl, const std::string& source);

// The file of a component-list row: SOURCE (with '/' appended when it does not end in one) and the
// file name, relative to the component list's folder and '/'.
std::string ComponentFileUrl(const std::string& listUrl, const std::string& source, const std::string& fileName);

}  // namespace kt::engine
