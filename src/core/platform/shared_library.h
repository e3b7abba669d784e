// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "core/util/result.h"

namespace veyla::platform {

// A shared library opened at run time. Programs link the heavy libraries
// they use only sometimes (the speech engine, the sound library) this way,
// so that a command that never speaks does not pay for loading them and
// everything they pull in. The library stays loaded for the life of the
// process: its code may still run on helper threads it started.
class SharedLibrary {
public:
    // Opens the library by its file name ("libespeak-ng.so.1"), resolving
    // every symbol at once; FileUnavailable names the loader's reason.
    static Result<SharedLibrary> open(const std::string& fileName);

    // Looks up a function the library exports and stores it in function;
    // FileUnavailable when the library has no such symbol.
    template <class Function>
    Status bind(Function*& function, const char* name) const
    {
        void* address = nullptr;
        if (Status found = lookUp(name, address); !found)
            return found;
        function = reinterpret_cast<Function*>(address);
        return {};
    }

    const std::string& fileName() const { return m_fileName; }

private:
    SharedLibrary(std::string fileName, void* handle) : m_fileName(std::move(fileName)), m_handle(handle) {}
    Status lookUp(const char* name, void*& address) const;

    std::string m_fileName;
    void* m_handle = nullptr;
};

// Whether the process has the library loaded already (by link or by open).
bool isLoaded(const std::string& fileName);

}  // namespace veyla::platform
