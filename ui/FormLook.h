// The look the windows share: their font, the captions and numeric fields of their input grids,
// their save dialogs, their wrapped texts and the chart's cross-hair.
#pragma once

#include "bevels/LabeledBevels.h"
#include "controls/NumEdit.h"
#include "platform/Chart.h"
#include "platform/Dialogs.h"
#include "platform/StdCtrls.h"

// Every grid cell is 121 x 21 pixels.
inline constexpr int FieldWidth = 121;
inline constexpr int FieldHeight = 21;

// "Tahoma" of height 11 pixels.
void SetWindowFont(TControl* Control);

// A caption of the input grid: a labelled bevel 21 pixels high with its inner bevel hidden,
// its text vertically centred, accelerators shown, the outer link style lsRight.
TLabeledBevels* NewFieldCaption(TComponent* Owner, TWinControl* Parent, const UnicodeString& Text,
                                int Left, int Top, int Width = FieldWidth);

// A numeric field of the grid: 121 x 21, text "0", modified colour clMoneyGreen, a tab stop.
TNumEdit* NewNumericField(TComponent* Owner, TWinControl* Parent, int Left, int Top);
// The same look and place for a field made by the caller (an optional number); returns it.
TNumEdit* PlaceNumericField(TNumEdit* Field, TWinControl* Parent, int Left, int Top);

// A save dialog as the windows use them: Filter, DefaultExt, the options that ask before
// overwriting and refuse read-only files and missing folders.
TSaveDialog* NewSaveDialog(TComponent* Owner, const char* Name, const UnicodeString& Filter,
                           const UnicodeString& DefaultExt);

// A push button of a window: owned by Owner (which finds it by Name), on Parent.
TButton* NewButton(TComponent* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left, int Top,
                   int Width, int Height);

// A text of a window: a transparent label of a fixed size whose words wrap.
TLabel* NewWrappedText(TWinControl* Owner, int Left, int Top, int Width, int Height);

// A cross-hair line of the chart: a red dashed fast line 2 pixels wide on the bottom and left
// axes, drawn in the overlay, not in the legend.
TFastLineSeries* NewCrossHairSeries(TChart* Chart);
