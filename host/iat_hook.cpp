// Import table rewriting for the player's command log.
#include "host/iat_hook.h"

#include <string.h>

static IMAGE_NT_HEADERS *ImageHeaders(BYTE *base)
{
    IMAGE_DOS_HEADER *dos = (IMAGE_DOS_HEADER *)base;
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return NULL;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE ||
        nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC)
        return NULL;
    return nt;
}

// Whether import slot i of one descriptor is functionName. Without a name
// table (some linkers bind in place) the slot's address is compared instead.
static bool SlotImports(BYTE *base, IMAGE_THUNK_DATA *names, IMAGE_THUNK_DATA *slot,
                        int i, const char *functionName, void *exported)
{
    if (names) {
        if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal))
            return false;
        IMAGE_IMPORT_BY_NAME *byName =
            (IMAGE_IMPORT_BY_NAME *)(base + names[i].u1.AddressOfData);
        return strcmp((const char *)byName->Name, functionName) == 0;
    }
    return exported && (void *)slot[i].u1.Function == exported;
}

static bool WriteSlot(IMAGE_THUNK_DATA *slot, void *replacement)
{
    DWORD oldProtect;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &oldProtect))
        return false;
    slot->u1.Function = (DWORD_PTR)replacement;
    DWORD unused;
    VirtualProtect(slot, sizeof *slot, oldProtect, &unused);
    return true;
}

int IatReplaceImport(HMODULE module, const char *dllName,
                     const char *functionName, void *replacement)
{
    BYTE *base = (BYTE *)module;
    IMAGE_NT_HEADERS *nt = ImageHeaders(base);
    if (!nt)
        return -1;
    IMAGE_DATA_DIRECTORY *directory =
        &nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory->VirtualAddress == 0 || directory->Size == 0)
        return 0;

    HMODULE exporter = GetModuleHandleA(dllName);
    void *exported = exporter ? (void *)GetProcAddress(exporter, functionName) : NULL;

    int replaced = 0;
    IMAGE_IMPORT_DESCRIPTOR *descriptor =
        (IMAGE_IMPORT_DESCRIPTOR *)(base + directory->VirtualAddress);
    for (; descriptor->Name != 0; descriptor++) {
        if (lstrcmpiA((const char *)(base + descriptor->Name), dllName) != 0)
            continue;
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + descriptor->FirstThunk);
        IMAGE_THUNK_DATA *names = descriptor->OriginalFirstThunk
            ? (IMAGE_THUNK_DATA *)(base + descriptor->OriginalFirstThunk)
            : NULL;
        for (int i = 0; slots[i].u1.Function != 0; i++) {
            if ((void *)slots[i].u1.Function == replacement) {
                replaced++;
                continue;
            }
            if (!SlotImports(base, names, slots, i, functionName, exported))
                continue;
            if (!WriteSlot(&slots[i], replacement))
                return -1;
            replaced++;
        }
    }
    return replaced;
}
