#include "updater/dialog_layout.h"

#include "resources/updater/updater_resource.h"

namespace kt::updater {
namespace {

constexpr DialogLayout kLayouts[] = {
    {240, 100,
     {{IDC_QXUPDATER_OVERALL_PROGRESS, {7, 29, 173, 36}},
      {IDC_QXUPDATER_ITEM_PROGRESS, {7, 43, 173, 50}},
      {IDC_QXUPDATER_CANCEL, {177, 29, 232, 50}},
      {IDC_QXUPDATER_COUNTER, {188, 9, 236, 26}},
      {IDC_QXUPDATER_STATUS, {4, 64, 236, 96}}}},
    {250, 300,
     {{IDC_QXUPDATER_OVERALL_PROGRESS, {6, 200, 188, 211}},
      {IDC_QXUPDATER_ITEM_PROGRESS, {6, 216, 188, 227}},
      {IDC_QXUPDATER_CANCEL, {193, 199, 240, 229}},
      {IDC_QXUPDATER_COUNTER, {190, 172, 242, 184}},
      {IDC_QXUPDATER_STATUS, {4, 172, 245, 196}}}},
};

}  // namespace

const DialogLayout* FindLayout(int number) {
  if (number == kSmallLayout) return &kLayouts[0];
  if (number == kLargeLayout) return &kLayouts[1];
  return nullptr;
}

int LayoutForBackground(int width, int height) {
  return width == 240 && height == 100 ? kSmallLayout : kLargeLayout;
}

void ApplyLayout(HWND dialog, const DialogLayout& layout) {
  const int width = layout.width + 2 * ::GetSystemMetrics(SM_CXBORDER);
  const int height = layout.height + 2 * ::GetSystemMetrics(SM_CYBORDER);
  RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  const int left = (work.right - work.left - width) / 2;
  const int top = (work.bottom - work.top - height) / 2;
  ::SetWindowPos(dialog, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  for (const ControlPlace& place : layout.places) {
    HWND control = ::GetDlgItem(dialog, place.id);
    if (control == nullptr) continue;
    ::MoveWindow(control, place.rect.left, place.rect.top, place.rect.right - place.rect.left,
                 place.rect.bottom - place.rect.top, TRUE);
  }
}

}  // namespace kt::updater
