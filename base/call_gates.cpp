#include "base/call_gates.h"

// One page of code, then one of data (the record): the code page is made
// executable and read-only once written, the data stays writable.
#define GATE_PAGE 4096
// The longest gate with its inert method: 34 + 4 * 8 bytes of live path, 29
// of inert path, 22 of the inert method alone, and room to spare.
#define GATE_BYTES_MOST 140

struct CodeWriter {
    BYTE *at;
};

static void Emit(CodeWriter *code, const BYTE *bytes, int count)
{
    CopyMemory(code->at, bytes, count);
    code->at += count;
}

static void EmitByte(CodeWriter *code, BYTE value)
{
    *code->at++ = value;
}

static void EmitDword(CodeWriter *code, DWORD value)
{
    CopyMemory(code->at, &value, sizeof(value));
    code->at += sizeof(value);
}

// lock inc/dec dword ptr [counter]
static void EmitCount(CodeWriter *code, volatile LONG *counter, bool up)
{
    static const BYTE lockIncrement[] = { 0xF0, 0xFF, 0x05 };
    static const BYTE lockDecrement[] = { 0xF0, 0xFF, 0x0D };
    Emit(code, up ? lockIncrement : lockDecrement, 3);
    EmitDword(code, (DWORD)(ULONG_PTR)counter);
}

// ret 4 * words: stdcall, the callee takes its arguments off the stack.
static void EmitReturn(CodeWriter *code, int words)
{
    EmitByte(code, 0xC2);
    EmitByte(code, (BYTE)(4 * words));
    EmitByte(code, 0);
}

static void EmitInertAnswer(CodeWriter *code, const GatedMethod *method)
{
    switch (method->inert) {
    case INERT_RETURNS_ONE: {
        static const BYTE one[] = { 0xB8, 1, 0, 0, 0 };   // mov eax, 1
        Emit(code, one, sizeof(one));
        break;
    }
    case INERT_RETURNS_OK: {
        static const BYTE ok[] = { 0x31, 0xC0 };          // xor eax, eax
        Emit(code, ok, sizeof(ok));
        break;
    }
    case INERT_NO_INTERFACE: {
        // mov ecx, [esp + 4 * words]   (the last argument: where the
        // interface goes); test ecx, ecx; jz +6; mov dword ptr [ecx], 0
        static const BYTE clear[] = { 0x85, 0xC9, 0x74, 0x06, 0xC7, 0x01, 0, 0, 0, 0 };
        static const BYTE noInterface[] = { 0xB8, 0x02, 0x40, 0x00, 0x80 };   // mov eax, E_NOINTERFACE
        EmitByte(code, 0x8B);
        EmitByte(code, 0x4C);
        EmitByte(code, 0x24);
        EmitByte(code, (BYTE)(4 * method->argumentWords));
        Emit(code, clear, sizeof(clear));
        Emit(code, noInterface, sizeof(noInterface));
        break;
    }
    }
    EmitReturn(code, method->argumentWords);
}

// The gate: counts the call in before it looks at the live flag, and out
// only once our method has returned into the gate, so that a caller that
// sees the count at 0 after clearing the flag knows no call is or will be
// in our code.
static void EmitGate(CodeWriter *code, const GatedMethod *method, int liveOffset, volatile LONG *inFlight)
{
    EmitCount(code, inFlight, true);
    static const BYTE loadObject[] = { 0x8B, 0x44, 0x24, 0x04 };   // mov eax, [esp + 4]
    Emit(code, loadObject, sizeof(loadObject));
    EmitByte(code, 0x83);                                          // cmp dword ptr [eax + offset], 0
    EmitByte(code, 0x78);
    EmitByte(code, (BYTE)liveOffset);
    EmitByte(code, 0);
    // je past the live path: its pushes, mov, call, count and return.
    EmitByte(code, 0x74);
    EmitByte(code, (BYTE)(4 * method->argumentWords + 5 + 2 + 7 + 3));
    // Each push takes the stack 4 bytes down, so the next argument up is
    // again 4 * words bytes above it.
    for (int i = 0; i < method->argumentWords; i++) {
        EmitByte(code, 0xFF);                                      // push dword ptr [esp + 4 * words]
        EmitByte(code, 0x74);
        EmitByte(code, 0x24);
        EmitByte(code, (BYTE)(4 * method->argumentWords));
    }
    EmitByte(code, 0xB8);                                          // mov eax, target
    EmitDword(code, (DWORD)(ULONG_PTR)method->target);
    EmitByte(code, 0xFF);                                          // call eax
    EmitByte(code, 0xD0);
    EmitCount(code, inFlight, false);                              // eax keeps the answer
    EmitReturn(code, method->argumentWords);
    // The object is no longer live.
    EmitCount(code, inFlight, false);
    EmitInertAnswer(code, method);
}

GatedMethods *BuildGatedMethods(const GatedMethod *wanted, int count, int liveOffset)
{
    if (count < 1 || count > GATED_METHODS_MOST || liveOffset < 0 || liveOffset > 127
        || count * GATE_BYTES_MOST > GATE_PAGE)
        return NULL;
    for (int i = 0; i < count; i++)
        if (wanted[i].argumentWords < 1 || wanted[i].argumentWords > 8)
            return NULL;
    // Never freed: objects that point here may be called for as long as the
    // process lives.
    BYTE *block = (BYTE *)VirtualAlloc(NULL, 2 * GATE_PAGE, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block)
        return NULL;
    GatedMethods *methods = (GatedMethods *)(block + GATE_PAGE);
    CodeWriter code = { block };
    for (int i = 0; i < count; i++) {
        methods->gates[i] = code.at;
        EmitGate(&code, &wanted[i], liveOffset, &methods->inFlight);
        methods->inert[i] = code.at;
        EmitInertAnswer(&code, &wanted[i]);
    }
    DWORD previous;
    if (!VirtualProtect(block, GATE_PAGE, PAGE_EXECUTE_READ, &previous)) {
        VirtualFree(block, 0, MEM_RELEASE);
        return NULL;
    }
    FlushInstructionCache(GetCurrentProcess(), block, GATE_PAGE);
    return methods;
}

bool WaitForGatedCalls(GatedMethods *methods, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    // Our methods only post a message or count a reference: a call stays
    // inside for microseconds, unless its thread is pre-empted.
    while (InterlockedCompareExchange(&methods->inFlight, 0, 0) != 0) {
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}
