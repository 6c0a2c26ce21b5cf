#include "plugin/winrt_media.h"

// {00000000-0000-0000-C000-000000000046}
const GUID IidUnknown = { 0x00000000, 0x0000, 0x0000, { 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46 } };
const GUID IidAgileObject = { 0x94ea2b94, 0xe9cc, 0x49e0, { 0xc0, 0xff, 0xee, 0x64, 0xca, 0x8f, 0x5b, 0x90 } };
const GUID IidMediaInterop = { 0xddb0472d, 0xc911, 0x4a1f, { 0x86, 0xd9, 0xdc, 0x3d, 0x71, 0xa9, 0x5f, 0x5a } };
const GUID IidMediaControls = { 0x99fa3ff4, 0x1742, 0x42a6, { 0x90, 0x2e, 0x08, 0x7d, 0x41, 0xf9, 0x65, 0xec } };
const GUID IidMediaControls2 = { 0xea98d2f6, 0x7f3c, 0x4af2, { 0xa5, 0x86, 0x72, 0x88, 0x98, 0x08, 0xef, 0xb1 } };
const GUID IidMusicProperties2 = { 0x00368462, 0x97d3, 0x44b9, { 0xb0, 0x0f, 0x00, 0x8a, 0xfc, 0xef, 0xaf, 0x18 } };
const GUID IidMediaTimeline = { 0x5125316a, 0xc3a2, 0x475b, { 0x85, 0x07, 0x93, 0x53, 0x4d, 0xc8, 0x8f, 0x15 } };
const GUID IidRandomAccessStream = { 0x905a0fe1, 0xbc53, 0x11df, { 0x8c, 0x49, 0x00, 0x1e, 0x4f, 0xc6, 0x86, 0xda } };
const GUID IidStreamReferenceStatics = { 0x857309dc, 0x3fbf, 0x4e7d, { 0x98, 0x6f, 0xef, 0x3b, 0x1a, 0x07, 0xa9, 0x64 } };
const GUID IidButtonPressedHandler = { 0x0557e996, 0x7b23, 0x5bae, { 0xaa, 0x81, 0xea, 0x0d, 0x67, 0x11, 0x43, 0xa4 } };
const GUID IidPositionRequestedHandler = { 0x44e34f15, 0xbdc0, 0x50a7, { 0xac, 0xe4, 0x39, 0xe9, 0x1f, 0xb7, 0x53, 0xf1 } };

WinrtRuntime gWinrt;

bool LoadWinrtRuntime(void)
{
    if (gWinrt.createString)
        return true;
    // Never freed (see the header); a second load only counts once more.
    HMODULE combase = GetModuleHandleA("combase.dll");
    if (!combase)
        combase = LoadLibraryA("combase.dll");
    if (!combase)
        return false;
    WinrtRuntime found;
    found.initialize = (HRESULT (WINAPI *)(int))(void *)GetProcAddress(combase, "RoInitialize");
    found.uninitialize = (void (WINAPI *)(void))(void *)GetProcAddress(combase, "RoUninitialize");
    found.getFactory = (HRESULT (WINAPI *)(WinrtString, REFIID, void **))(void *)
        GetProcAddress(combase, "RoGetActivationFactory");
    found.activate = (HRESULT (WINAPI *)(WinrtString, WinrtObject **))(void *)
        GetProcAddress(combase, "RoActivateInstance");
    found.deleteString = (HRESULT (WINAPI *)(WinrtString))(void *)GetProcAddress(combase, "WindowsDeleteString");
    found.createString = (HRESULT (WINAPI *)(const WCHAR *, UINT32, WinrtString *))(void *)
        GetProcAddress(combase, "WindowsCreateString");
    if (!found.initialize || !found.uninitialize || !found.getFactory || !found.activate || !found.deleteString
        || !found.createString)
        return false;
    gWinrt = found;
    return true;
}

WinrtString MakeWinrtString(const WCHAR *text)
{
    WinrtString string = NULL;
    if (text && text[0] && FAILED(gWinrt.createString(text, (UINT32)lstrlenW(text), &string)))
        string = NULL;
    return string;
}

void FreeWinrtString(WinrtString string)
{
    if (string)
        gWinrt.deleteString(string);
}

HRESULT GetWinrtFactory(const WCHAR *className, REFIID iid, void **factory)
{
    *factory = NULL;
    WinrtString name = MakeWinrtString(className);
    HRESULT result = name ? gWinrt.getFactory(name, iid, factory) : E_OUTOFMEMORY;
    FreeWinrtString(name);
    return result;
}

HRESULT ActivateWinrtObject(const WCHAR *className, REFIID iid, void **object)
{
    *object = NULL;
    WinrtString name = MakeWinrtString(className);
    WinrtObject *instance = NULL;
    HRESULT result = name ? gWinrt.activate(name, &instance) : E_OUTOFMEMORY;
    FreeWinrtString(name);
    if (SUCCEEDED(result) && instance)
        result = instance->methods->QueryInterface(instance, iid, object);
    else if (SUCCEEDED(result))
        result = E_FAIL;
    ReleaseWinrtObject(&instance);
    return result;
}
