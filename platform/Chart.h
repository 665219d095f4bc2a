// The chart component: a two-dimensional chart with a bottom, a left and a right axis, a title
// of one or more lines, a legend, point and fast line series and rectangle zoom with undo.
//
// Drawing is layered: the plot (background, title, legend, axes, grid and every ordinary series)
// is rendered once into a cached bitmap and reused until something it shows changes; the
// overlay (overlay series such as a cross-hair, and the zoom rectangle while dragging) is drawn
// over a copy of the cache at every repaint.
#pragma once

#include "platform/ChartAxis.h"
#include "platform/Classes.h"
#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Series.h"

#include <memory>
#include <string>
#include <vector>

class TChart;
class TVectorPicture;

class TChartTitle : public TPersistent {
public:
    explicit TChartTitle(TChart* AChart);
    ~TChartTitle() override;

    // The lines of the title, centred above the plot.
    TStrings* GetText() const { return FText.get(); }
    TFont* GetFont() const { return FFont.get(); }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    TChart* FChart;
    std::unique_ptr<TStringList> FText;
    std::unique_ptr<TFont> FFont;
    bool FVisible = true;
};

// The legend: one entry (marker or line sample in the series colour, then the series title) for
// every series whose ShowInLegend is set, in the chart's series order, above the plot.
class TChartLegend : public TPersistent {
    friend class TChart;

public:
    explicit TChartLegend(TChart* AChart);
    ~TChartLegend() override;

    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    TFont* GetFont() const { return FFont.get(); }
    TChartPen* GetFrame() const { return FFrame.get(); }

    // The entries as they are drawn.
    int Count() const;
    TChartSeries* Series(int Index) const;

private:
    std::vector<TChartSeries*> Entries() const;
    TChart* FChart;
    bool FVisible = true;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TChartPen> FFrame;
};

// The colour scale of a heat map, right of the plot: a bar as tall as the plot, coloured from
// the first colour of Colors at Min (bottom) to the last at Max (top), with ticks a tidy step
// apart, their labels and a title reading downwards. Hidden until made visible with colours
// and a range.
class TChartColorScale : public TPersistent {
    friend class TChart;

public:
    explicit TChartColorScale(TChart* AChart);
    ~TChartColorScale() override;

    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    // The colours, evenly spread over the range, the lowest first.
    const std::vector<TColor>& GetColors() const { return FColors; }
    void SetColors(std::vector<TColor> Value);
    double GetMin() const { return FMin; }
    double GetMax() const { return FMax; }
    void SetRange(double Min, double Max);
    const UnicodeString& GetTitle() const { return FTitle; }
    void SetTitle(const UnicodeString& Value);
    // Labels and title.
    TFont* GetFont() const { return FFont.get(); }
    // The colour the bar shows at Value (held within the range; clNone without colours or
    // for NaN).
    TColor ColorOf(double Value) const;

private:
    TChart* FChart;
    bool FVisible = false;
    std::vector<TColor> FColors;
    double FMin = 0;
    double FMax = 1;
    UnicodeString FTitle;
    std::unique_ptr<TFont> FFont;
};

// The chart control. Dragging with the left button from top-left to bottom-right zooms to the
// dragged rectangle (drawn with the zoom pen meanwhile); dragging the other way undoes the last
// zoom. Mouse events (OnMouseMove in chart pixels, OnDblClick ...) reach the owner's handlers.
class TChart : public TCustomControl {
public:
    explicit TChart(TComponent* AOwner);
    // Destroys the series it owns; series owned by others are only detached.
    ~TChart() override;

    // --- Series, in drawing order (later ones on top).
    int SeriesCount() const { return static_cast<int>(FSeries.size()); }
    TChartSeries* Series(int Index) const;
    // Attaches a series (at the end); a series attached to another chart moves here.
    void AddSeries(TChartSeries* ASeries);
    // Detaches a series without destroying it.
    void RemoveSeries(TChartSeries* ASeries);
    // Destroys every attached series.
    void FreeAllSeries();
    int IndexOfSeries(const TChartSeries* ASeries) const;
    // Puts the given series, all attached here, in this order on the places they hold among all
    // (the others keep theirs).
    void SetSeriesOrder(const std::vector<TChartSeries*>& Order);
    // Draws the given series above all others (in series order among themselves), and no
    // other series above the rest, until the next call; the series order, that of the legend
    // included, stays as it is. Series of other charts are ignored.
    void DrawOnTop(const std::vector<TChartSeries*>& List);
    // From this many markers on, a plot leaves out the markers that a later one of the same shape
    // paints over on the same spot (the same pixels, drawn faster).
    static inline std::size_t MarkerCoverFrom = 20000;

    // --- Parts
    TChartTitle* GetTitle() const { return FTitle.get(); }
    TChartLegend* GetLegend() const { return FLegend.get(); }
    TChartAxis* GetBottomAxis() const { return FBottomAxis.get(); }
    TChartAxis* GetLeftAxis() const { return FLeftAxis.get(); }
    TChartAxis* GetRightAxis() const { return FRightAxis.get(); }
    TChartColorScale* GetColorScale() const { return FColorScale.get(); }

    // Background of the plot area (clTeeColor: the chart's Color, which fills the rest).
    TColor GetBackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    // Kept for compatibility; the chart always draws in two dimensions.
    bool GetView3D() const { return FView3D; }
    void SetView3D(bool Value) { FView3D = Value; }

    // --- Zoom. ZoomRect sets the bottom, left and right axes to the ranges under the rectangle
    // (chart pixels) and remembers the ranges before; UndoZoom returns to the ranges before the
    // last zoom. Setting a range by program (SetMinMax, SetAutomatic) forgets the history.
    void ZoomRect(const TRect& Rect);
    void UndoZoom();
    bool GetZoomed() const { return !FZoomStack.empty(); }
    bool GetAllowZoom() const { return FAllowZoom; }
    void SetAllowZoom(bool Value) { FAllowZoom = Value; }
    TChartPen* GetZoomPen() const { return FZoomPen.get(); }

    // The plot rectangle of the current layout (the pixels between the axes, Right and Bottom
    // excluded).
    TRect GetChartRect();

    // --- Rendering
    // The whole chart into Rect of Canvas (laid out for Rect's size; the chart keeps that
    // layout for its conversions until its own size next changes).
    void PaintTo(TCanvas* Canvas, const TRect& Rect);
    using TCustomControl::PaintTo;
    // --- Pictures of the chart for files and the clipboard: the plot as it is shown, laid out
    // for the chart's own size, without the overlay (cross-hair, zoom frame). Files are written
    // at once (a temporary file, then a rename): on failure EFCreateError "Cannot create file
    // \"%s\"" and an old file stays as it was.
    // The image at Scale 1 (the screen's pixels) or drawn 2 or 3 times larger (fonts, pens,
    // markers and layout scaled) into Bitmap.
    void DrawImage(TBitmap* Bitmap, int Scale = 1);
    // The plot drawn into Bitmap (which takes the chart's size) and, unless Picture is nullptr,
    // at the same time as shapes into Picture.
    void DrawPicture(TBitmap* Bitmap, TVectorPicture* Picture);
    void SaveToPng(const UnicodeString& FileName, int Scale = 1);
    std::string SvgText();
    void SaveToSvg(const UnicodeString& FileName);
    // The one-page PDF document SaveToPdf writes (empty without a GUI application).
    std::string PdfBytes();
    void SaveToPdf(const UnicodeString& FileName);
    // The zoom rectangle shown in the overlay (chart pixels), or none.
    void SetDragRect(const TRect& Rect);
    void ClearDragRect();

    // Repaint requests: the plot must be rendered again (ranges, layout and all), or only the
    // overlay changed. Changes made through the chart's and the series' setters call these
    // themselves; Invalidate repaints from the cached plot.
    void InvalidatePlot();
    void InvalidateOverlay();

    void Paint() override;
    // Counters for tests and measurements: how often the plot was rendered into the cache and
    // how often the chart was painted.
    int PlotRenderCount() const { return FPlotRenders; }
    int PaintCount() const { return FPaints; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void BoundsChanged(bool Moved, bool Resized) override;
    void ColorChanged() override;

private:
    friend class TChartSeries;
    friend class TChartAxis;
    friend class TChartLegend;
    friend class TChartTitle;
    friend class TChartColorScale;
    struct TLayout;

    void RequestRepaint();
    char DecimalSeparator() const;
    void SeriesDataChanged(TChartSeries* ASeries);
    void SeriesStyleChanged(TChartSeries* ASeries);
    void AxisRangeChanged(TChartAxis* Axis, bool ByProgram);
    void DetachSeries(TChartSeries* ASeries);
    void Changed();
    // The automatic ranges of the axes from the active non-overlay series.
    void UpdateAutoRanges();
    void AutoRange(const TChartAxis* Axis, double& Min, double& Max) const;
    bool AxisInUse(const TChartAxis* Axis) const;
    void EnsureLayout();
    // The layout made for Width x Height (a new one, and a new cached plot, when the size changes).
    void LayOutFor(int Width, int Height);
    void Layout(int Width, int Height);
    void RenderPlot(TCanvas* Canvas);
    // RenderPlot with Picture attached to Canvas, recording the plot's shapes as it draws.
    void RenderPlotAsShapes(TCanvas* Canvas, TVectorPicture* Picture);
    void RenderOverlay(TCanvas* Canvas);
    void DrawAxis(TCanvas* Canvas, TChartAxis* Axis);
    void DrawLegend(TCanvas* Canvas);
    void DrawTitle(TCanvas* Canvas);
    void DrawColorScale(TCanvas* Canvas);
    // The room the colour scale takes right of the plot (0 when hidden), its ticks laid out for
    // the plot's rows Top to Bottom.
    int LayOutColorScale(int Top, int Bottom);

    struct TAxisRanges {
        bool Automatic[3];
        double Min[3];
        double Max[3];
    };

    std::vector<TChartSeries*> FSeries;
    std::unique_ptr<TChartTitle> FTitle;
    std::unique_ptr<TChartLegend> FLegend;
    std::unique_ptr<TChartAxis> FBottomAxis;
    std::unique_ptr<TChartAxis> FLeftAxis;
    std::unique_ptr<TChartAxis> FRightAxis;
    std::unique_ptr<TChartColorScale> FColorScale;
    std::unique_ptr<TChartPen> FZoomPen;
    std::unique_ptr<TLayout> FLayout;
    std::unique_ptr<TBitmap> FCache;
    // The markers of a large plot and where they cover each other (kept between renderings).
    std::unique_ptr<class TMarkerCover> FCover;
    std::vector<std::vector<struct TMarkerPlace>> FPlaces;
    // The cached plot drawn FSharpScale times larger for a sharp screen (0: none).
    std::unique_ptr<TBitmap> FSharp;
    int FSharpScale = 0;
    std::unique_ptr<TBitmap> FMeasure;  // text measurement
    std::vector<TAxisRanges> FZoomStack;
    TColor FBackColor = clTeeColor;
    bool FView3D = false;
    bool FAllowZoom = true;
    // The size the current layout is made for: the chart's own, or that of the last PaintTo.
    int FLayoutWidth = 0;
    int FLayoutHeight = 0;
    bool FDragging = false;
    TPoint FDragStart;
    bool FDestroying = false;
    bool FRangesValid = false;
    bool FLayoutValid = false;
    bool FCacheValid = false;
    bool FInZoomChange = false;
    bool FHasDragRect = false;
    TRect FDragRect;
    int FPlotRenders = 0;
    int FPaints = 0;
};
