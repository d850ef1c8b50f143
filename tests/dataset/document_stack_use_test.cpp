// Documents are loaded on the thread that calls the control: a browser's user-interface thread,
// whose stack belongs to the browser. Loading must take little of it, whatever the document.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dataset/documents/document.h"

#ifndef _WIN32
#include <pthread.h>
#endif

namespace {

#ifndef _WIN32

constexpr std::size_t kThreadStack = 1024 * 1024;
constexpr unsigned char kPaint = 0xC5;

struct LoadJob {
  const std::string* text;
  int datasets;
};

void* LoadOnThread(void* argument) {
  auto* job = static_cast<LoadJob*>(argument);
  Kt_ParamList params;
  Kt_DatasetList datasets;
  unsigned codePage = 0;
  job->datasets = LoadDocument(reinterpret_cast<const unsigned char*>(job->text->data()), job->text->size(), params,
                               datasets, codePage);
  return nullptr;
}

// Runs the load on a thread whose stack was painted first; the bytes no longer painted are what
// the thread used at its deepest.
std::size_t StackUsedToLoad(const std::string& text, int& datasets) {
  std::vector<unsigned char> stack(kThreadStack + 4096);
  auto* base = reinterpret_cast<unsigned char*>((reinterpret_cast<std::uintptr_t>(stack.data()) + 4095) & ~std::uintptr_t{4095});
  std::memset(base, kPaint, kThreadStack);
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstack(&attributes, base, kThreadStack);
  LoadJob job{&text, -2};
  pthread_t thread;
  const bool started = pthread_create(&thread, &attributes, LoadOnThread, &job) == 0;
  pthread_attr_destroy(&attributes);
  if (!started) return kThreadStack;
  pthread_join(thread, nullptr);
  datasets = job.datasets;
  std::size_t untouched = 0;
  while (untouched < kThreadStack && base[untouched] == kPaint) ++untouched;
  return kThreadStack - untouched;
}

TEST(DocumentStackUse, LoadingTakesLittleOfTheCallersStack) {
  std::string text = "<?xml version=\"1.0\"?><root><params><param id=\"P\" type=\"STRING\">v</param></params>"
                     "<dataset id=\"D\"><colinfo id=\"A\"/><colinfo id=\"B\" type=\"INT\"/>";
  for (int i = 0; i < 200; ++i) text += "<record type=\"insert\"><A>a&#32;" + std::to_string(i) + "</A><B>7</B></record>";
  text += "</dataset></root>";
  int datasets = 0;
  const std::size_t used = StackUsedToLoad(text, datasets);
  EXPECT_EQ(datasets, 1);
  // Measured with the sanitizers' larger frames: about 12 KB; the open-element stacks of the
  // parser alone, were they kept on the stack, take over 30 KB.
  EXPECT_LT(used, 24u * 1024u) << used << " bytes";
}

#else

TEST(DocumentStackUse, LoadingTakesLittleOfTheCallersStack) { GTEST_SKIP() << "measured in the native tree"; }

#endif

}  // namespace
