// SPDX-License-Identifier: MIT
#include "core/platform/shared_library.h"

#include <dlfcn.h>

namespace veyla::platform {

namespace {

std::string loaderError()
{
    const char* text = dlerror();
    return text != nullptr ? text : "unknown reason";
}

}  // namespace

Result<SharedLibrary> SharedLibrary::open(const std::string& fileName)
{
    // Local: the library's symbols serve only the pointers bound from it,
    // and never replace a symbol of the program's own.
    void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return Error{ErrorCode::FileUnavailable, "cannot load " + fileName + ": " + loaderError()};
    return SharedLibrary(fileName, handle);
}

Status SharedLibrary::lookUp(const char* name, void*& address) const
{
    dlerror();
    address = dlsym(m_handle, name);
    if (address == nullptr)
        return Error{ErrorCode::FileUnavailable, m_fileName + " has no " + name + ": " + loaderError()};
    return {};
}

bool isLoaded(const std::string& fileName)
{
    void* handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    dlclose(handle);  // drops only the reference NOLOAD added
    return true;
}

}  // namespace veyla::platform
