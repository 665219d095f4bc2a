// The input fields of the main window and of the pH dialog, one table each: one row per numeric
// field with its name, its caption (on the first field of a grid row), its place, its value when
// the window is created, the record value it shows with the scale between shown and stored units,
// its range rule and its reaction to an accepted value. The tables drive the fields' creation and
// both transfers between a window and a record (showing a dependency and storing it by Apply),
// which InputFields.cpp defines with the main window's field rules and diffusion locks.
#pragma once

#include "model/Params.h"
#include "ui/FCorvane.h"
#include "ui/FpHSetup.h"

// Columns and rows of the main window's input grid, where its fields, its name edits, its graph
// choice and the pH panel stand.
namespace InputGrid {
constexpr int CaptionX = 8;
constexpr int Field1X = 135;
constexpr int Field2X = 262;
constexpr int Field3X = 389;
constexpr int Caption2X = 528;
constexpr int Field4X = 655;
constexpr int Caption3X = 792;
constexpr int Field5X = 919;
constexpr int Row[8] = {6, 33, 60, 87, 114, 141, 168, 205};
}  // namespace InputGrid

// A caption of the input grid.
template <class Form>
struct TCaptionRow {
    TLabeledBevels* Form::*Member;
    const char* Name;
    const char* Text;
    int Left;
};

// Where a field stands: the window's grid (PnlBottom) or the pH panel inside it (PnlpH).
enum TFieldPanel { fpGrid, fppH };

struct TMainFieldRow {
    TNumEdit* TFrmCorvane::*Member;
    const char* Name;
    TCaptionRow<TFrmCorvane> Caption;   // Member nullptr: none
    TFieldPanel Panel;
    int Left, Top;
    bool Visible;
    bool ReadOnly;
    double Initial;                     // shown when the window is created
    double& (*Value)(Params&);          // nullptr for points, a whole number
    double ToStored, ToShown;           // stored = shown * ToStored, shown = stored * ToShown
    void (TFrmCorvane::*Rule)(TObject*, TCaption, bool&);   // nullptr: any number
    void (TFrmCorvane::*Reaction)(TObject*);
};

struct TpHFieldRow {
    TNumEdit* TFrmpHSetup::*Member;
    const char* Name;
    TCaptionRow<TFrmpHSetup> Caption;   // Member nullptr: none
    int Left, Top;
    double& (*Value)(Params&);
    double Scale;                       // stored = shown * Scale, shown = stored / Scale
    bool Positive;                      // the rule of the constants
};

inline constexpr int MainFieldCount = 25;
inline constexpr int pHFieldCount = 14;
// In creation (and tab) order; the pH field, in the pH panel, comes last.
extern const TMainFieldRow MainFields[MainFieldCount];
// In creation (and tab) order: row by row, analyte 1 before analyte 2.
extern const TpHFieldRow pHFields[pHFieldCount];
