// A library loaded by name at run time, and its functions looked up by name. Optional system
// libraries are used this way so that a missing library or function fails only the operation
// that needs it.
#pragma once

#include <windows.h>

namespace kt {

// Converts a looked-up address to the function type the caller knows it to have.
template <typename Fn>
Fn FunctionCast(FARPROC address)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(address));
}

// Owns one reference on a library loaded with LoadLibraryA.
class LoadedModule {
public:
    LoadedModule() = default;
    explicit LoadedModule(const char* name) : module_(LoadLibraryA(name)) {}
    ~LoadedModule()
    {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(LoadedModule&& other) noexcept : module_(other.module_) { other.module_ = nullptr; }
    LoadedModule& operator=(LoadedModule&& other) noexcept
    {
        if (this != &other) {
            if (module_) FreeLibrary(module_);
            module_ = other.module_;
            other.module_ = nullptr;
        }
        return *this;
    }
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    explicit operator bool() const { return module_ != nullptr; }

    // The function `name` of the library, or null when the library or the function is missing.
    template <typename Fn>
    Fn Function(const char* name) const
    {
        return module_ ? FunctionCast<Fn>(GetProcAddress(module_, name)) : nullptr;
    }

private:
    HMODULE module_ = nullptr;
};

}  // namespace kt
