// Chart series: the point storage shared by all series, point series with markers and fast
// line series.
#pragma once

#include "platform/ChartAxis.h"
#include "platform/Classes.h"
#include "platform/Graphics.h"

#include <cstdint>
#include <memory>
#include <vector>

class TChart;
class TChartAxis;

// The colour of a point that has none of its own: it is drawn in the series' colour, so that
// recolouring a series recolours its points.
constexpr TColor clTeeColor = clDefault;

// The vertical axis of a series; the horizontal axis is always the bottom one.
enum TVertAxis { aLeftAxis, aRightAxis };

// Order kept by the x values: AddXY inserts at the sorted place (loAscending, the default) or
// appends (loNone).
enum TChartListOrder { loNone, loAscending };

class TChartSeries : public TComponent {
public:
    explicit TChartSeries(TComponent* AOwner);
    // Leaves the chart it is attached to.
    ~TChartSeries() override;

    // The chart that draws the series (nullptr: none). Attaching appends it to the chart's list.
    TChart* GetParentChart() const { return FParentChart; }
    void SetParentChart(TChart* Value);

    TColor GetSeriesColor() const { return FSeriesColor; }
    virtual void SetSeriesColor(TColor Value);
    // The series' pen; fast line series draw their line with it.
    TChartPen* GetPen() const { return FPen.get(); }
    const UnicodeString& GetTitle() const { return FTitle; }
    void SetTitle(const UnicodeString& Value);
    bool GetShowInLegend() const { return FShowInLegend; }
    void SetShowInLegend(bool Value);
    TVertAxis GetVertAxis() const { return FVertAxis; }
    void SetVertAxis(TVertAxis Value);
    // An inactive series keeps its points but is neither drawn nor counted in automatic ranges.
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    // An overlay series (a cross-hair) is drawn above the cached plot: changing its points
    // repaints only the overlay. It does not count in automatic ranges.
    bool GetOverlay() const { return FOverlay; }
    void SetOverlay(bool Value);
    TChartListOrder GetXValuesOrder() const { return FXOrder; }
    void SetXValuesOrder(TChartListOrder Value);

    // --- Points
    int Count() const { return static_cast<int>(FX.size()); }
    // Adds a point and returns its index. Label "" and colour clTeeColor store nothing extra.
    int AddXY(double X, double Y, const UnicodeString& Label = "", TColor Color = clTeeColor);
    void Clear();
    // Least and greatest finite values (0 for a series without points).
    double MinXValue() const { return FX.empty() ? 0 : FMinX; }
    double MaxXValue() const { return FX.empty() ? 0 : FMaxX; }
    double MinYValue() const { return FX.empty() ? 0 : FMinY; }
    double MaxYValue() const { return FX.empty() ? 0 : FMaxY; }
    // Values of point Index; an index outside raises EListError "List index out of bounds (%d)".
    double XValue(int Index) const;
    double YValue(int Index) const;
    UnicodeString Labels(int Index) const;
    // The point's own colour, or clTeeColor when it has none.
    TColor PointColor(int Index) const;
    // The colour the point is drawn in.
    TColor ValueColor(int Index) const;
    const std::vector<double>& GetXValues() const { return FX; }
    const std::vector<double>& GetYValues() const { return FY; }
    // Per-point colours; empty while every point uses the series colour.
    const std::vector<TColor>& GetPointColors() const { return FColors; }
    // True when the series has at least one finite point (the ranges above are then valid).
    bool HasFiniteValues() const { return FMinX <= FMaxX; }

    // The vertical axis object of the parent chart (nullptr without a chart).
    TChartAxis* GetVertAxisObject() const;

    // Drawing, for the chart: the points on the raster of Canvas, clipped to Plot.
    virtual void DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                            const TAxisScale& YScale) const = 0;
    // The sample of the legend, centred in R.
    virtual void DrawLegendSample(TCanvas* Canvas, const TRect& R) const = 0;

protected:
    // A change of look: the chart redraws.
    void StyleChanged();
    // For series that keep their values themselves: sets the least and greatest x and y (an
    // empty range, Min > Max, for none) and tells the chart the data changed.
    void SetExtent(double MinX, double MaxX, double MinY, double MaxY);

private:
    friend class TChart;
    void DataChanged()
    {
        if (FParentChart && !FDataNotified) NotifyData();
    }
    void NotifyData();
    void InsertAt(int Index, double X, double Y, const UnicodeString& Label, TColor Color);

    TChart* FParentChart = nullptr;
    std::unique_ptr<TChartPen> FPen;
    UnicodeString FTitle;
    bool FShowInLegend = true;
    TVertAxis FVertAxis = aLeftAxis;
    bool FActive = true;
    bool FOverlay = false;
    TChartListOrder FXOrder = loAscending;
    // Set once the chart has been told of a data change since it last drew.
    bool FDataNotified = false;
    bool FOnTop = false;  // drawn after the others (TChart::DrawOnTop)

    double FMinX, FMaxX, FMinY, FMaxY;

protected:
    TColor FSeriesColor = clRed;
    std::vector<double> FX;
    std::vector<double> FY;
    std::vector<TColor> FColors;         // empty, or one per point
    std::vector<UnicodeString> FLabels;  // empty, or one per point
};

// ---------------------------------------------------------------------------------------------

enum TSeriesPointerStyle {
    psRectangle, psCircle, psTriangle, psDownTriangle, psCross, psDiagCross, psStar, psDiamond,
    psSmallDot
};

// The marker of a point series: Style, half width HorizSize and half height VertSize (a marker
// of size 4 spans 9 x 9 pixels around its point), filled with the point's colour and outlined
// with Pen (colour clTeeColor: a darker shade of the point's colour).
class TSeriesPointer : public TPersistent {
public:
    explicit TSeriesPointer(TChartSeries* AOwner);
    ~TSeriesPointer() override;
    void Assign(TPersistent* Source) override;

    TSeriesPointerStyle GetStyle() const { return FStyle; }
    void SetStyle(TSeriesPointerStyle Value);
    int GetHorizSize() const { return FHorizSize; }
    void SetHorizSize(int Value);
    int GetVertSize() const { return FVertSize; }
    void SetVertSize(int Value);
    int GetSize() const { return FHorizSize; }
    void SetSize(int Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    TChartPen* GetPen() const { return FPen.get(); }

    // Draws one marker centred at (X, Y) on the canvas's raster.
    void Draw(TCanvas* Canvas, int X, int Y, TColor Color) const;

    TChangeNotify OnChange;

private:
    void Changed();
    TSeriesPointerStyle FStyle = psRectangle;
    int FHorizSize = 4;
    int FVertSize = 4;
    bool FVisible = true;
    std::unique_ptr<TChartPen> FPen;
};

// Points drawn as markers, not joined.
class TPointSeries : public TChartSeries {
public:
    explicit TPointSeries(TComponent* AOwner);
    ~TPointSeries() override;

    TSeriesPointer* GetPointer() const { return FPointer.get(); }

    void DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                    const TAxisScale& YScale) const override;
    // DrawValues in two steps, for a chart of many markers: the places of the markers drawn
    // (after the same cuts), then the markers at them, leaving out those whose place in Grid
    // (over Area, see TMarkerCover) holds a later order than Order.
    void MarkerPlaces(const TRect& Plot, const TAxisScale& XScale, const TAxisScale& YScale,
                      std::vector<struct TMarkerPlace>& Out) const;
    std::uint32_t MarkerShape() const;
    void DrawPlaces(TCanvas* Canvas, const TRect& Plot, const std::vector<struct TMarkerPlace>& Places,
                    const int* Grid, const TRect& Area, int Order) const;
    void DrawLegendSample(TCanvas* Canvas, const TRect& R) const override;

private:
    std::unique_ptr<TSeriesPointer> FPointer;
};

// Points joined by straight lines in the order of the points, drawn with LinePen (colour,
// style, width); no markers. The series colour is the pen's colour.
class TFastLineSeries : public TChartSeries {
public:
    explicit TFastLineSeries(TComponent* AOwner);

    TChartPen* GetLinePen() const { return GetPen(); }
    void SetSeriesColor(TColor Value) override;

    void DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                    const TAxisScale& YScale) const override;
    void DrawLegendSample(TCanvas* Canvas, const TRect& R) const override;
};

// ---------------------------------------------------------------------------------------------

// A heat map: a grid of cells on the chart's axes, each a filled rectangle in its own colour. The
// cells of column i span XEdges[i] to XEdges[i + 1], those of row j YEdges[j] to YEdges[j + 1]
// (both edge lists strictly increasing); a cell of colour clNone is left undrawn, the plot's
// background showing through. Neighbouring cells share their edge pixel: every pixel whose centre
// lies inside the grid belongs to exactly one cell. The grid's outer edges are the series' least
// and greatest x and y, so automatic axes show it whole.
class TColorGridSeries : public TChartSeries {
public:
    explicit TColorGridSeries(TComponent* AOwner);

    // Sets the grid: Cells row by row from the lowest row, (XEdges.size() - 1) cells a row.
    // EListError when the edge lists are shorter than 2, not finite and increasing, or the
    // number of cells does not match.
    void SetGrid(std::vector<double> XEdges, std::vector<double> YEdges, std::vector<TColor> Cells);
    int Columns() const { return FXEdges.empty() ? 0 : static_cast<int>(FXEdges.size()) - 1; }
    int Rows() const { return FYEdges.empty() ? 0 : static_cast<int>(FYEdges.size()) - 1; }
    const std::vector<double>& GetXEdges() const { return FXEdges; }
    const std::vector<double>& GetYEdges() const { return FYEdges; }
    // The colour of cell (Column, Row); EListError outside the grid.
    TColor CellColor(int Column, int Row) const;
    // The cell holding (X, Y) in axis values, or false outside the grid.
    bool CellAt(double X, double Y, int& Column, int& Row) const;

    void DrawValues(TCanvas* Canvas, const TRect& Plot, const TAxisScale& XScale,
                    const TAxisScale& YScale) const override;
    void DrawLegendSample(TCanvas* Canvas, const TRect& R) const override;

private:
    std::vector<double> FXEdges;
    std::vector<double> FYEdges;
    std::vector<TColor> FCells;
};

// The viridis colour scale (perceptually uniform, dark blue through green to yellow) at T in
// [0, 1] (held there; NaN gives clNone).
TColor ViridisColor(double T);
