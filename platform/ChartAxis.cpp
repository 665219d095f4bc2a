#include "platform/ChartAxis.h"

#include "platform/Chart.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

// ---------------------------------------------------------------------------------------------
// TChartPen

void TChartPen::Assign(TPersistent* Source)
{
    if (auto* p = dynamic_cast<TChartPen*>(Source)) FVisible = p->FVisible;
    TPen::Assign(Source);
}

void TChartPen::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

// ---------------------------------------------------------------------------------------------
// TAxisScale

TAxisScale::TAxisScale(double Min, double Max, int StartPos, int EndPos, bool Horizontal)
    : FMin(Min), FMax(Max), FStartPos(StartPos), FEndPos(EndPos), FHorizontal(Horizontal)
{
    const double range = Max - Min;
    const double span = EndPos - StartPos;
    if (!(range > 0) || !std::isfinite(range)) {
        FFactor = 0;
        FOrigin = (StartPos + EndPos) / 2.0;
    } else if (Horizontal) {
        FFactor = span / range;
        FOrigin = StartPos;
    } else {
        FFactor = -span / range;
        FOrigin = EndPos;
    }
}

int TAxisScale::CalcPosValue(double Value) const
{
    const double p = CalcPosValueF(Value);
    if (!(p > -1e8)) return -100000000;  // NaN lands here too
    if (p > 1e8) return 100000000;
    return static_cast<int>(std::floor(p + 0.5));
}

double TAxisScale::CalcPosPoint(int Pixel) const
{
    if (FFactor == 0) return FMin;
    return FMin + (Pixel - FOrigin) / FFactor;
}

void TAxisScale::WidenFlat(double& Min, double& Max)
{
    if (!std::isfinite(Min) || !std::isfinite(Max) || Min > Max) {
        Min = 0;
        Max = 1;
        return;
    }
    if (Min < Max) return;
    const double d = Min == 0 ? 1.0 : std::fabs(Min) / 10;
    Min -= d;
    Max += d;
}

double TAxisScale::TidyIncrement(double Range, double MaxSteps)
{
    if (!(Range > 0) || !std::isfinite(Range)) return 1;
    if (!(MaxSteps >= 1)) MaxSteps = 1;
    const double raw = Range / MaxSteps;
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * p >= raw * (1 - 1e-9)) return m * p;
    }
    return 10 * p;
}

std::vector<double> TAxisScale::TickValues(double Min, double Max, double Increment)
{
    std::vector<double> result;
    if (!(Increment > 0) || !std::isfinite(Min) || !std::isfinite(Max) || Max < Min) return result;
    const double k0 = std::ceil(Min / Increment - 1e-6);
    const double k1 = std::floor(Max / Increment + 1e-6);
    if (!(k1 - k0 < 10000)) return result;  // an increment far too small for the range
    for (double k = k0; k <= k1; k += 1) {
        double v = k * Increment;
        if (std::fabs(v) < Increment * 1e-9) v = 0;
        result.push_back(v);
    }
    return result;
}

UnicodeString TAxisScale::FormatLabel(double Value, double Increment, char DecimalSeparator)
{
    if (!std::isfinite(Value)) return "";
    if (Value == 0 || (Increment > 0 && std::fabs(Value) < Increment * 1e-9)) return "0";
    char buf[64];
    const double mag = std::fabs(Value);
    const bool exponent = mag >= 1e9 || (Increment > 0 && Increment < 1e-6);
    if (exponent) {
        int digits = 0;
        if (Increment > 0)
            digits = static_cast<int>(std::floor(std::log10(mag)) - std::floor(std::log10(Increment)));
        digits = std::clamp(digits, 0, 15);
        std::snprintf(buf, sizeof buf, "%.*E", digits, Value);
        // Tidy "1.500E+09" into "1.5E9".
        std::string s(buf);
        const auto e = s.find('E');
        std::string mant = s.substr(0, e), ex = s.substr(e + 1);
        if (mant.find('.') != std::string::npos) {
            while (!mant.empty() && mant.back() == '0') mant.pop_back();
            if (!mant.empty() && mant.back() == '.') mant.pop_back();
        }
        const bool neg = !ex.empty() && ex[0] == '-';
        std::size_t i = (ex[0] == '-' || ex[0] == '+') ? 1 : 0;
        while (i + 1 < ex.size() && ex[i] == '0') ++i;
        s = mant + "E" + (neg ? "-" : "") + ex.substr(i);
        for (char& c : s)
            if (c == '.') c = DecimalSeparator;
        return s;
    }
    int decimals = 0;
    if (Increment > 0) {
        while (decimals < 15) {
            const double scaled = Increment * std::pow(10.0, decimals);
            if (std::fabs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) break;
            ++decimals;
        }
    }
    std::snprintf(buf, sizeof buf, "%.*f", decimals, Value);
    std::string s(buf);
    for (char& c : s)
        if (c == '.') c = DecimalSeparator;
    return s;
}

// ---------------------------------------------------------------------------------------------
// TChartAxisTitle

TChartAxisTitle::TChartAxisTitle() : FFont(std::make_unique<TFont>()), FFrame(std::make_unique<TChartPen>())
{
    FFont->OnChange = [this] { Changed(); };
    FFrame->OnChange = [this] { Changed(); };
}

TChartAxisTitle::~TChartAxisTitle() = default;

void TChartAxisTitle::Changed()
{
    if (OnChange) OnChange();
}

void TChartAxisTitle::SetCaption(const UnicodeString& Value)
{
    if (FCaption == Value) return;
    FCaption = Value;
    Changed();
}

void TChartAxisTitle::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TChartAxisTitle::SetTransparent(bool Value)
{
    if (FTransparent == Value) return;
    FTransparent = Value;
    Changed();
}

void TChartAxisTitle::SetShapeStyle(TTextShapeStyle Value)
{
    if (FShapeStyle == Value) return;
    FShapeStyle = Value;
    Changed();
}

void TChartAxisTitle::SetColor(TColor Value)
{
    if (FColor == Value) return;
    FColor = Value;
    Changed();
}

void TChartAxisTitle::SetRoundRectangle(bool Value)
{
    SetShapeStyle(Value ? fosRoundRectangle : fosRectangle);
    SetTransparent(!Value);
}

// ---------------------------------------------------------------------------------------------
// TChartAxis

TChartAxis::TChartAxis(TChart* AChart, bool AHorizontal, bool AOtherSide)
    : FChart(AChart),
      FHorizontal(AHorizontal),
      FOtherSide(AOtherSide),
      FTitle(std::make_unique<TChartAxisTitle>()),
      FLabelsFont(std::make_unique<TFont>()),
      FAxisPen(std::make_unique<TChartPen>()),
      FTicks(std::make_unique<TChartPen>()),
      FMinorTicks(std::make_unique<TChartPen>()),
      FGrid(std::make_unique<TChartPen>())
{
    FAxisPen->SetWidth(2);
    FGrid->SetColor(RGB(210, 210, 210));
    FGrid->SetStyle(psDot);
    if (AOtherSide) FGrid->SetVisible(false);
    auto changed = [this] { Changed(); };
    FTitle->OnChange = changed;
    FLabelsFont->OnChange = changed;
    FAxisPen->OnChange = changed;
    FTicks->OnChange = changed;
    FMinorTicks->OnChange = changed;
    FGrid->OnChange = changed;
}

TChartAxis::~TChartAxis() = default;

void TChartAxis::Changed()
{
    if (FChart) FChart->Changed();
    if (OnChange) OnChange();
}

void TChartAxis::SetVisible(bool Value)
{
    if (FVisible == Value) return;
    FVisible = Value;
    Changed();
}

void TChartAxis::SetLabels(bool Value)
{
    if (FLabels == Value) return;
    FLabels = Value;
    Changed();
}

void TChartAxis::SetTickLength(int Value)
{
    Value = std::max(0, Value);
    if (FTickLength == Value) return;
    FTickLength = Value;
    Changed();
}

void TChartAxis::SetMinorTickLength(int Value)
{
    Value = std::max(0, Value);
    if (FMinorTickLength == Value) return;
    FMinorTickLength = Value;
    Changed();
}

void TChartAxis::SetMinorTickCount(int Value)
{
    Value = std::clamp(Value, -1, 100);
    if (FMinorTickCount == Value) return;
    FMinorTickCount = Value;
    Changed();
}

int TChartAxis::MinorTicksFor(double Increment) const
{
    if (FMinorTickCount >= 0) return FMinorTickCount;
    if (!(Increment > 0) || !std::isfinite(Increment)) return 0;
    const double mantissa = Increment / std::pow(10.0, std::floor(std::log10(Increment) + 1e-9));
    return std::fabs(mantissa - 2) < 1e-6 ? 3 : 4;
}

void TChartAxis::SetIncrement(double Value)
{
    if (!std::isfinite(Value) || Value < 0) Value = 0;
    if (FIncrement == Value) return;
    FIncrement = Value;
    Changed();
}

void TChartAxis::SetAutomatic(bool Value)
{
    if (FAutomatic == Value) return;
    if (!Value) {
        // Keep showing what is shown now.
        FMinimum = GetMinimum();
        FMaximum = GetMaximum();
    }
    FAutomatic = Value;
    if (FChart) FChart->AxisRangeChanged(this, true);
    if (OnChange) OnChange();
}

void TChartAxis::SetMinMax(double AMin, double AMax)
{
    if (!std::isfinite(AMin) || !std::isfinite(AMax)) return;
    if (AMin > AMax) std::swap(AMin, AMax);
    if (!FAutomatic && FMinimum == AMin && FMaximum == AMax) return;
    FAutomatic = false;
    FMinimum = AMin;
    FMaximum = AMax;
    if (FChart) FChart->AxisRangeChanged(this, true);
    if (OnChange) OnChange();
}

void TChartAxis::SetRange(bool Automatic, double AMin, double AMax)
{
    FAutomatic = Automatic;
    FMinimum = AMin;
    FMaximum = AMax;
    if (FChart) FChart->AxisRangeChanged(this, false);
    if (OnChange) OnChange();
}

void TChartAxis::ShownRange(double& Min, double& Max) const
{
    Min = FMinimum;
    Max = FMaximum;
    if (FAutomatic) {
        if (FChart) FChart->UpdateAutoRanges();
        Min = FAutoMin;
        Max = FAutoMax;
    }
    TAxisScale::WidenFlat(Min, Max);
}

double TChartAxis::GetMinimum() const
{
    double mn, mx;
    ShownRange(mn, mx);
    return mn;
}

double TChartAxis::GetMaximum() const
{
    double mn, mx;
    ShownRange(mn, mx);
    return mx;
}

TAxisScale TChartAxis::GetScale() const
{
    if (FChart) FChart->EnsureLayout();
    return FScale;
}

std::vector<double> TChartAxis::GetTickValues() const
{
    if (FChart) FChart->EnsureLayout();
    return FTickValues;
}

int TChartAxis::CalcPosValue(double Value) const { return GetScale().CalcPosValue(Value); }

double TChartAxis::CalcPosPoint(int Pixel) const { return GetScale().CalcPosPoint(Pixel); }

int TChartAxis::GetIStartPos() const { return GetScale().GetStartPos(); }

int TChartAxis::GetIEndPos() const { return GetScale().GetEndPos(); }

int TChartAxis::GetPosAxis() const
{
    if (FChart) FChart->EnsureLayout();
    return FPosAxis;
}
