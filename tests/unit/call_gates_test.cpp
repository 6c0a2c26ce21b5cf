// The gates: machine code written byte for byte, so each is called here as
// COM calls it (stdcall, the object first) and the stack is measured
// around the call.
#include <gtest/gtest.h>

#include <stddef.h>

#include "base/call_gates.h"

namespace {

struct GatedObject {
    void *const *methods;
    LONG calls;
    LONG live;          // 8 bytes in, as the gates are told
    DWORD seen[2];
    HANDLE entered;     // set by the blocking method once inside
    HANDLE leave;       // it waits for this
};

HRESULT WINAPI ObjectQuery(GatedObject *object, REFIID, void **out)
{
    object->calls++;
    *out = object;
    return S_OK;
}

ULONG WINAPI ObjectAddRef(GatedObject *object)
{
    return 100 + (ULONG)++object->calls;
}

HRESULT WINAPI ObjectInvoke(GatedObject *object, void *sender, void *args)
{
    object->calls++;
    object->seen[0] = (DWORD)(ULONG_PTR)sender;
    object->seen[1] = (DWORD)(ULONG_PTR)args;
    return 0x1234;
}

ULONG WINAPI ObjectBlock(GatedObject *object)
{
    SetEvent(object->entered);
    WaitForSingleObject(object->leave, INFINITE);
    return 7;
}

const GatedMethod kMethods[] = {
    { (void *)ObjectQuery, 3, INERT_NO_INTERFACE },
    { (void *)ObjectAddRef, 1, INERT_RETURNS_ONE },
    { (void *)ObjectInvoke, 3, INERT_RETURNS_OK },
    { (void *)ObjectBlock, 1, INERT_RETURNS_ONE },
};

DWORD gStackBefore, gStackAfter;

// Calls `method` with `words` arguments as a caller of stdcall code does,
// and keeps the stack pointer from before the pushes and after the call:
// the gate must take exactly its arguments off the stack.
DWORD CallMethod(void *method, const DWORD *args, int words)
{
    DWORD result;
    if (words == 1)
        __asm__ volatile("movl %%esp, %0\n\t"
                         "pushl (%3)\n\t"
                         "call *%4\n\t"
                         "movl %%esp, %1"
                         : "=m"(gStackBefore), "=m"(gStackAfter), "=a"(result)
                         : "r"(args), "r"(method)
                         : "ecx", "edx", "memory", "cc");
    else
        __asm__ volatile("movl %%esp, %0\n\t"
                         "pushl 8(%3)\n\t"
                         "pushl 4(%3)\n\t"
                         "pushl (%3)\n\t"
                         "call *%4\n\t"
                         "movl %%esp, %1"
                         : "=m"(gStackBefore), "=m"(gStackAfter), "=a"(result)
                         : "r"(args), "r"(method)
                         : "ecx", "edx", "memory", "cc");
    return result;
}

GatedMethods *Gates()
{
    static GatedMethods *gates = BuildGatedMethods(kMethods, 4, offsetof(GatedObject, live));
    return gates;
}

}  // namespace

TEST(CallGates, ALiveObjectsCallsReachItsMethodsWithTheirArgumentsAndAnswers)
{
    GatedMethods *gates = Gates();
    ASSERT_NE(nullptr, gates);
    GatedObject object = {};
    object.methods = gates->gates;
    object.live = 1;
    void *out = NULL;
    DWORD query[3] = { (DWORD)(ULONG_PTR)&object, 0, (DWORD)(ULONG_PTR)&out };
    DWORD self[1] = { (DWORD)(ULONG_PTR)&object };
    DWORD invoke[3] = { (DWORD)(ULONG_PTR)&object, 0xAAAA, 0xBBBB };

    EXPECT_EQ((DWORD)S_OK, CallMethod(gates->gates[0], query, 3));
    EXPECT_EQ(gStackBefore, gStackAfter) << "QueryInterface";
    EXPECT_EQ(&object, out);
    EXPECT_EQ(102u, CallMethod(gates->gates[1], self, 1));
    EXPECT_EQ(gStackBefore, gStackAfter) << "AddRef";
    EXPECT_EQ(0x1234u, CallMethod(gates->gates[2], invoke, 3));
    EXPECT_EQ(gStackBefore, gStackAfter) << "Invoke";
    EXPECT_EQ(0xAAAAu, object.seen[0]) << "the arguments keep their order";
    EXPECT_EQ(0xBBBBu, object.seen[1]);
    EXPECT_EQ(3, object.calls);
    EXPECT_EQ(0, gates->inFlight) << "every call counted out again";
}

TEST(CallGates, OnceNotLiveEveryCallAnswersInertlyWithoutReachingItsMethod)
{
    GatedMethods *gates = Gates();
    ASSERT_NE(nullptr, gates);
    GatedObject object = {};
    object.live = 0;
    DWORD self[1] = { (DWORD)(ULONG_PTR)&object };
    DWORD invoke[3] = { (DWORD)(ULONG_PTR)&object, 1, 2 };
    // Through the gate (a caller that read the table before it changed) and
    // through the inert table alike.
    void *const *tables[] = { gates->gates, gates->inert };
    for (void *const *table : tables) {
        void *out = &object;
        DWORD query[3] = { (DWORD)(ULONG_PTR)&object, 0, (DWORD)(ULONG_PTR)&out };
        EXPECT_EQ((DWORD)E_NOINTERFACE, CallMethod(table[0], query, 3));
        EXPECT_EQ(gStackBefore, gStackAfter);
        EXPECT_EQ(nullptr, out) << "a failed QueryInterface hands out NULL";
        EXPECT_EQ(1u, CallMethod(table[1], self, 1));
        EXPECT_EQ(gStackBefore, gStackAfter);
        EXPECT_EQ((DWORD)S_OK, CallMethod(table[2], invoke, 3));
        EXPECT_EQ(gStackBefore, gStackAfter);
    }
    EXPECT_EQ(0, object.calls);
    EXPECT_EQ(0, gates->inFlight);
}

static DWORD WINAPI CallBlocking(LPVOID parameter)
{
    GatedObject *object = (GatedObject *)parameter;
    return ((ULONG (WINAPI *)(GatedObject *))object->methods[3])(object);
}

TEST(CallGates, TheWaitEndsOnlyOnceACallInsideHasLeft)
{
    GatedMethods *gates = Gates();
    ASSERT_NE(nullptr, gates);
    GatedObject object = {};
    object.methods = gates->gates;
    object.live = 1;
    object.entered = CreateEventA(NULL, TRUE, FALSE, NULL);
    object.leave = CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE thread = CreateThread(NULL, 0, CallBlocking, &object, 0, NULL);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(object.entered, 10000));
    InterlockedExchange(&object.live, 0);
    EXPECT_FALSE(WaitForGatedCalls(gates, 50)) << "the call is still inside";
    SetEvent(object.leave);
    EXPECT_TRUE(WaitForGatedCalls(gates, 10000));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    DWORD answer = 0;
    GetExitCodeThread(thread, &answer);
    EXPECT_EQ(7u, answer) << "the call in flight ends normally";
    CloseHandle(thread);
    CloseHandle(object.entered);
    CloseHandle(object.leave);
}

TEST(CallGates, MethodsOutOfRangeBuildNothing)
{
    GatedMethod tooMany = { (void *)ObjectAddRef, 9, INERT_RETURNS_ONE };
    EXPECT_EQ(nullptr, BuildGatedMethods(&tooMany, 1, 8));
    EXPECT_EQ(nullptr, BuildGatedMethods(kMethods, 0, 8));
    EXPECT_EQ(nullptr, BuildGatedMethods(kMethods, 4, 200));
}
