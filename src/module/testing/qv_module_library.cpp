#include "module/testing/qv_module_library.h"

namespace {

template <typename Function>
Function Find(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

std::wstring ModulePath(HMODULE module)
{
    std::wstring path(MAX_PATH * 4, L'\0');
    const DWORD length = ::GetModuleFileNameW(module, &path[0], static_cast<DWORD>(path.size()));
    path.resize(length);
    return path;
}

} // namespace

std::wstring TestProgramFolder()
{
    std::wstring path = ModulePath(nullptr);
    path.erase(path.rfind(L'\\') + 1);
    return path;
}

QvModuleLibrary::QvModuleLibrary(const wchar_t* relativePath)
    : module_(::LoadLibraryW((TestProgramFolder() + relativePath).c_str())),
      create_(Find<CreateFunction>(module_.Get(), "QvCreateObject")),
      destroy_(Find<DestroyFunction>(module_.Get(), "QvDestroyObject"))
{
}

std::wstring QvModuleLibrary::Path() const
{
    return module_ ? ModulePath(module_.Get()) : std::wstring();
}

void QvModuleLibrary::Unload()
{
    create_ = nullptr;
    destroy_ = nullptr;
    module_.Reset();
}
