// 8. The DLL's size and what it imports: every library must be one that
// Windows itself brings, found in the system directory.
#include "bench/bench.h"

#include <string.h>

// The import descriptors of a loaded module: the names of the DLLs.
static std::vector<std::string> ImportedLibraries(HMODULE module)
{
    std::vector<std::string> names;
    BYTE *base = (BYTE *)module;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY *directory = &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory->VirtualAddress)
        return names;
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + directory->VirtualAddress);
         d->Name; d++)
        names.push_back((const char *)(base + d->Name));
    return names;
}

static bool FromSystemDirectory(const std::string &library)
{
    char system[MAX_PATH], path[MAX_PATH];
    UINT length = GetSystemDirectoryA(system, sizeof system);
    HMODULE module = GetModuleHandleA(library.c_str());
    if (!length || !module || !GetModuleFileNameA(module, path, sizeof path))
        return false;
    return _strnicmp(path, system, length) == 0 && path[length] == '\\';
}

void MeasureDllSizeAndImports()
{
    const char *dll = PlayerDefaultPluginPath();
    WIN32_FILE_ATTRIBUTE_DATA file;
    double kib = GetFileAttributesExA(dll, GetFileExInfoStandard, &file) ? file.nFileSizeLow / 1024.0 : -1;
    // Loaded with its imports bound, so that each library it names is mapped
    // and can be found; its entry point only turns thread notices off.
    HMODULE module = LoadLibraryA(dll);
    std::vector<std::string> libraries = module ? ImportedLibraries(module) : std::vector<std::string>();
    std::string list;
    bool system = module != NULL;
    for (const std::string &library : libraries) {
        bool ok = FromSystemDirectory(library);
        system = system && ok;
        list += (list.empty() ? "" : ", ") + library + (ok ? "" : " (NOT A SYSTEM LIBRARY)");
    }
    if (module)
        FreeLibrary(module);
    // The goal was 100 KiB until the player went into Windows' media
    // controls: their interfaces, display and handler gates are 7.7 KiB of code.
    Row("8", "DLL size and imports", Format("%.1f KiB; imports %s", kib, list.c_str()),
        "system directory", "-", "< 112 KiB, system libraries only",
        kib > 0 && kib < 112 && system ? "yes" : "no");
}
