#include "device/kt_device.h"

#include <utility>

Kt_Device::Kt_Device(std::string kind, int deviceIndex, Kt_QxpConfiguration* configuration, HWND ownerWindow)
    : kind_(std::move(kind)), deviceIndex_(deviceIndex), ownerWindow_(ownerWindow), configuration_(configuration) {}

Kt_Device::~Kt_Device() = default;
