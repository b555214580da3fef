#pragma once
// Runs Body inside one BeginUpdate/EndUpdate bracket of Object (a collection or a string
// list). The bracket is closed also when Body raises, and the exception goes on.
template <class T, class F>
void WithinUpdate(T& Object, F&& Body)
{
    Object.BeginUpdate();
    try {
        Body();
    } catch (...) {
        Object.EndUpdate();
        throw;
    }
    Object.EndUpdate();
}
