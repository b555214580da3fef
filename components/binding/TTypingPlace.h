#pragma once
// Where the user is typing on a form: the control that has the keyboard focus when it takes
// typed text (an edit or a combo box), or a grid's in-place editor in a column of that grid,
// with the caret and the selection there. Taken before work that may move the focus or the
// caret away (a navigator click; the live view's refresh, whose page layout hides the grids'
// editors and whose pushed texts move the edits' carets), and given back after it.
//
// Threading: GUI thread only.
class TForm;
class TWinControl;
class TZopFileDBGrid;

class TTypingPlace {
public:
    // The place on Form; nowhere when Form is null or nothing there takes typed text.
    static TTypingPlace Of(TForm* Form);
    // The control of Form that has the keyboard focus and takes typed text; null otherwise
    // (a button the user clicked before does not count).
    static TWinControl* FocusedTypingControl(TForm* Form);

    bool Nowhere() const { return !FControl; }
    // Gives the focus back: to the grid's editor (still shown, or opened again in the
    // highlighted row, in the same column), or to the control. False when the place is gone
    // from Form or cannot take the focus.
    bool GiveBack(TForm* Form) const;
    // Puts the caret and the selection where they were (within the text the edit holds now),
    // when the focus is back in the edit it was taken from or in the same grid's edit box.
    void GiveBackCaret() const;

private:
    TWinControl* FControl = nullptr;  // not owned; null: the user was typing nowhere
    TZopFileDBGrid* FGrid = nullptr;  // not owned; set when FControl is the grid's editor
    int FCol = -1;
    int FSelStart = -1;  // of an edit; -1 for a combo box
    int FSelLength = 0;
};
