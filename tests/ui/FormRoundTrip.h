#pragma once
// Round trips of form files for tests: set every published property away from its value,
// and check that a form written, read back and written again is the same.
#include <gtest/gtest.h>

#include "framework/core/FormReader.h"
#include "framework/core/FormWriter.h"
#include "framework/core/TComponent.h"

// Sets every published property of Instance (and of its sub-objects) away from the value
// it holds, in declared order. Class references go to the first component of Root that
// fits; events to a handler of Root when its type fits; binary data is left alone. A
// property that refuses its new value fails the test.
void SetEveryPropertyAway(TObject* Instance, TComponent* Root, const AnsiString& Path);
// Every published property of A and B, sub-objects and collection items included, holds
// the same value (references by name, events by whether they are assigned).
void ExpectSameProperties(TObject* A, TObject* B, const AnsiString& Path);
// The first line where two texts differ, for messages.
AnsiString FirstDifference(const AnsiString& A, const AnsiString& B);

// A form freed as the application frees it (Free: BeforeDestruction, then delete) when
// the scope ends, so that its components go while it is whole.
template <class TFormClass>
class TFreedForm {
public:
    TFreedForm() : FForm(new TFormClass(nullptr)) {}
    ~TFreedForm() { FForm->Free(); }
    TFreedForm(const TFreedForm&) = delete;
    TFreedForm& operator=(const TFreedForm&) = delete;
    TFormClass* operator->() const { return FForm; }
    TFormClass* get() const { return FForm; }

private:
    TFormClass* FForm;  // owned
};

// Writes Original, reads the text into a fresh form of its class and writes that: the
// texts and every property of every component must agree.
template <class TFormClass>
void ExpectRoundTrip(TFormClass* Original)
{
    const AnsiString Text = WriteFormText(Original);
    TFreedForm<TFormClass> Read;
    TFormClass& Copy = *Read.get();
    ReadFormText(Text, &Copy, "round trip");
    const AnsiString Again = WriteFormText(&Copy);
    EXPECT_TRUE(Again == Text) << "written again, the form differs at " << FirstDifference(Text, Again) << "\n" << Text;
    ExpectSameProperties(Original, &Copy, Original->Name());
    for (int I = 0; I < Original->ComponentCount(); ++I) {
        TComponent* C = Original->Components(I);
        TComponent* Read = Copy.FindComponent(C->Name());
        ASSERT_NE(Read, nullptr) << C->Name();
        ExpectSameProperties(C, Read, C->Name());
    }
}
