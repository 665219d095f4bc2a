// Chart axes: the value <-> pixel arithmetic (TAxisScale, no window needed) and the axis object
// of the chart (TChartAxis) with its title, labels, ticks and range.
#pragma once

#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <memory>
#include <vector>

class TChart;

// A pen that can be switched off: axis lines, ticks, grid, the zoom rectangle, marker outlines.
class TChartPen : public TPen {
public:
    TChartPen() = default;
    void Assign(TPersistent* Source) override;
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    bool FVisible = true;
};

// ---------------------------------------------------------------------------------------------
// Axis arithmetic

// The range of one axis mapped onto a pixel extent. Horizontal axes grow to the right (Min at
// StartPos), vertical axes grow upwards (Min at EndPos). StartPos and EndPos are both inside the
// plot: the pixel of Min and the pixel of Max. A range that is empty, not finite or too narrow
// for a pixel to stand for a finite value maps every value to the middle pixel.
class TAxisScale {
public:
    TAxisScale() = default;
    TAxisScale(double Min, double Max, int StartPos, int EndPos, bool Horizontal);

    double GetMin() const { return FMin; }
    double GetMax() const { return FMax; }
    int GetStartPos() const { return FStartPos; }
    int GetEndPos() const { return FEndPos; }
    bool GetHorizontal() const { return FHorizontal; }

    // The pixel of a value (rounded to the nearest; far outside values are held within
    // +-1e8 pixels so that they never overflow).
    int CalcPosValue(double Value) const;
    // The same without rounding, for clipping lines exactly.
    double CalcPosValueF(double Value) const { return FOrigin + (Value - FMin) * FFactor; }
    // The value at a pixel.
    double CalcPosPoint(int Pixel) const;

    // --- Ranges that can be shown. A range is labelled by ticks a tidy step apart, and a pixel
    // must stand for a finite, non-zero part of it. So:
    // - a range narrower than LeastWidth of its magnitude (the greater of |Min| and |Max|)
    //   counts as flat: its ticks would differ only in the last digits of a double (or not at
    //   all), and it is shown as a flat range is. FlatRatio 1e-12 leaves about 4,500 doubles
    //   across the narrowest range, so that even a hundred ticks lie apart and their labels
    //   differ within 15 digits; LeastAbsoluteWidth 1e-290 keeps the values of a pixel finite
    //   (up to 1e8 pixels) and clear of the denormals, which have fewer digits;
    // - the ends of a shown range stay within +-Largest, so that its width is a finite number.
    static constexpr double FlatRatio = 1e-12;
    static constexpr double LeastAbsoluteWidth = 1e-290;
    static constexpr double Largest = 1e307;
    // max(FlatRatio * Magnitude, LeastAbsoluteWidth).
    static double LeastWidth(double Magnitude);
    static bool IsFlat(double Min, double Max);
    // The range an axis shows for the range [Min, Max] (of the data, or fixed): a flat one
    // gets room around its centre c, c -+ |c| / 10, or -1 .. 1 when c is 0 (or so near it that
    // a tenth of it falls below LeastAbsoluteWidth); a range without finite ends becomes 0 .. 1,
    // a reversed one is turned round, ends beyond +-Largest are held there.
    static void WidenFlat(double& Min, double& Max);
    // The range a zoom to [Min, Max] shows: one that would count as flat is held at twice the
    // least width around its centre, the narrowest range the axis labels sensibly. Returns
    // whether it was held.
    static bool HoldZoomWidth(double& Min, double& Max);

    // The smallest tidy step (1, 2 or 5 times a power of ten) that divides Range into at most
    // MaxSteps steps; Range / MaxSteps itself where no tidy step near the ends of the doubles
    // fits, 1 for a range that is not positive and finite.
    static double TidyIncrement(double Range, double MaxSteps);
    // At most this many ticks on an axis.
    static constexpr int MaxTicks = 1000;
    // The multiples of Increment between Min and Max (both included, with a tolerance of a
    // millionth of the increment, a tick within it moved onto the end), strictly increasing,
    // snapped so that zero prints as 0. The multiples are counted with an integer (beyond 2^53
    // increments some coincide and are given once): none when there would be more than
    // MaxTicks, or for an increment or a range that is not finite.
    static std::vector<double> TickValues(double Min, double Max, double Increment);
    // The text of a tick value: as many decimals as the increment needs, exponent notation for
    // very large or very small magnitudes (at most 15 digits after the point either way);
    // DecimalSeparator in place of the point. "" for a value that is not finite.
    static UnicodeString FormatLabel(double Value, double Increment, char DecimalSeparator = '.');

private:
    double FMin = 0;
    double FMax = 1;
    int FStartPos = 0;
    int FEndPos = 100;
    bool FHorizontal = true;
    // Pixel = FOrigin + (Value - FMin) * FFactor.
    double FOrigin = 0;
    double FFactor = 100;
};

// ---------------------------------------------------------------------------------------------
// Axis objects

enum TTextShapeStyle { fosRectangle, fosRoundRectangle };

// Title of an axis: caption and font; when not Transparent it stands in a frame of ShapeStyle
// (rectangle or rounded rectangle) filled with Color and outlined with Frame.
class TChartAxisTitle : public TPersistent {
public:
    TChartAxisTitle();
    ~TChartAxisTitle() override;

    const UnicodeString& GetCaption() const { return FCaption; }
    void SetCaption(const UnicodeString& Value);
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TTextShapeStyle GetShapeStyle() const { return FShapeStyle; }
    void SetShapeStyle(TTextShapeStyle Value);
    // Background of the frame (clTeeColor: the chart's background).
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TChartPen* GetFrame() const { return FFrame.get(); }
    // Convenience: a framed rounded rectangle (ShapeStyle fosRoundRectangle, not transparent).
    void SetRoundRectangle(bool Value);

    TChangeNotify OnChange;

private:
    void Changed();
    UnicodeString FCaption;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TChartPen> FFrame;
    bool FVisible = true;
    bool FTransparent = true;
    TTextShapeStyle FShapeStyle = fosRectangle;
    TColor FColor = 0x20000000;  // clTeeColor
};

class TChartAxis : public TPersistent {
public:
    TChartAxis(TChart* AChart, bool AHorizontal, bool AOtherSide);
    ~TChartAxis() override;

    TChart* GetParentChart() const { return FChart; }
    bool GetHorizontal() const { return FHorizontal; }
    // The right axis of a chart (the top axis for a horizontal one).
    bool GetOtherSide() const { return FOtherSide; }

    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

    TChartAxisTitle* GetTitle() const { return FTitle.get(); }
    TFont* GetLabelsFont() const { return FLabelsFont.get(); }
    void SetLabelsFont(TFont* Value) { FLabelsFont->Assign(Value); }
    bool GetLabels() const { return FLabels; }
    void SetLabels(bool Value);

    // The axis line, the major ticks (outside the plot), the minor ticks and the grid lines
    // across the plot at the major ticks.
    TChartPen* GetAxisPen() const { return FAxisPen.get(); }
    TChartPen* GetTicks() const { return FTicks.get(); }
    int GetTickLength() const { return FTickLength; }
    void SetTickLength(int Value);
    TChartPen* GetMinorTicks() const { return FMinorTicks.get(); }
    int GetMinorTickLength() const { return FMinorTickLength; }
    void SetMinorTickLength(int Value);
    // Minor ticks between two major ticks; -1 (the default) divides each step into tidy parts
    // (fifths of a step of 1 or 5, quarters of a step of 2).
    int GetMinorTickCount() const { return FMinorTickCount; }
    void SetMinorTickCount(int Value);
    // The count used with a step of Increment.
    int MinorTicksFor(double Increment) const;
    TChartPen* GetGrid() const { return FGrid.get(); }

    // Automatic: the range follows the active series on this axis. SetMinMax fixes the range
    // (and turns Automatic off); the bounds are taken in either order.
    bool GetAutomatic() const { return FAutomatic; }
    void SetAutomatic(bool Value);
    void SetMinMax(double AMin, double AMax);
    // The range as shown (after any zoom; a flat range widened as TAxisScale::WidenFlat does).
    double GetMinimum() const;
    double GetMaximum() const;
    void SetMinimum(double Value) { SetMinMax(Value, GetMaximum()); }
    void SetMaximum(double Value) { SetMinMax(GetMinimum(), Value); }
    // Step between labels; 0 (the default) chooses a tidy step that keeps labels apart.
    double GetIncrement() const { return FIncrement; }
    void SetIncrement(double Value);

    // Conversions between values and pixels of the chart, as last laid out.
    int CalcPosValue(double Value) const;
    int CalcXPosValue(double Value) const { return CalcPosValue(Value); }
    int CalcYPosValue(double Value) const { return CalcPosValue(Value); }
    double CalcPosPoint(int Pixel) const;
    // Pixel of the minimum and of the maximum (IStartPos: the left or top end of the axis).
    int GetIStartPos() const;
    int GetIEndPos() const;
    int IStartPos() const { return GetIStartPos(); }
    int IEndPos() const { return GetIEndPos(); }
    // Where the axis line stands: the row of a horizontal axis, the column of a vertical one.
    int GetPosAxis() const;

    // The scale, major tick values and label texts of the current layout (no labels while the
    // axis or its labels are hidden).
    TAxisScale GetScale() const;
    std::vector<double> GetTickValues() const;
    std::vector<UnicodeString> GetTickLabels() const;

    TChangeNotify OnChange;

private:
    friend class TChart;
    void Changed();
    void ShownRange(double& Min, double& Max) const;
    // Sets the shown range without touching the zoom history (zoom and undo).
    void SetRange(bool Automatic, double AMin, double AMax);

    TChart* FChart;
    bool FHorizontal;
    bool FOtherSide;
    bool FVisible = true;
    bool FLabels = true;
    std::unique_ptr<TChartAxisTitle> FTitle;
    std::unique_ptr<TFont> FLabelsFont;
    std::unique_ptr<TChartPen> FAxisPen;
    std::unique_ptr<TChartPen> FTicks;
    std::unique_ptr<TChartPen> FMinorTicks;
    std::unique_ptr<TChartPen> FGrid;
    int FTickLength = 4;
    int FMinorTickLength = 2;
    int FMinorTickCount = -1;
    bool FAutomatic = true;
    double FMinimum = 0;
    double FMaximum = 0;
    double FIncrement = 0;

    // Kept by the chart: the automatic range of the data and the current layout.
    double FAutoMin = 0;
    double FAutoMax = 1;
    TAxisScale FScale;
    double FTickIncrement = 1;
    std::vector<double> FTickValues;
    int FPosAxis = 0;
};
