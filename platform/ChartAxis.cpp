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
    FFactor = Horizontal ? span / range : -span / range;
    FOrigin = Horizontal ? StartPos : EndPos;
    // An empty or infinite range, or one so narrow that a pixel would stand for no value.
    if (!(range > 0) || !std::isfinite(range) || !std::isfinite(FFactor)) {
        FFactor = 0;
        FOrigin = (StartPos + EndPos) / 2.0;
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

double TAxisScale::LeastWidth(double Magnitude)
{
    return std::max(FlatRatio * Magnitude, LeastAbsoluteWidth);
}

bool TAxisScale::IsFlat(double Min, double Max)
{
    return !(Max - Min >= LeastWidth(std::max(std::fabs(Min), std::fabs(Max))));
}

void TAxisScale::WidenFlat(double& Min, double& Max)
{
    if (!std::isfinite(Min) || !std::isfinite(Max)) {
        Min = 0;
        Max = 1;
        return;
    }
    if (Min > Max) std::swap(Min, Max);
    Min = std::clamp(Min, -Largest, Largest);
    Max = std::clamp(Max, -Largest, Largest);
    if (!IsFlat(Min, Max)) return;
    const double c = Min / 2 + Max / 2;
    double d = std::fabs(c) / 10;
    if (d < LeastAbsoluteWidth) d = 1;
    Min = std::max(c - d, -Largest);
    Max = std::min(c + d, Largest);
}

bool TAxisScale::HoldZoomWidth(double& Min, double& Max)
{
    if (!std::isfinite(Min) || !std::isfinite(Max) || !IsFlat(Min, Max)) return false;
    const double c = std::clamp(Min / 2 + Max / 2, -Largest / 2, Largest / 2);
    // Twice the least width, so that the rounding of the ends cannot make it flat again.
    const double half = LeastWidth(std::fabs(c));
    Min = c - half;
    Max = c + half;
    return true;
}

double TAxisScale::TidyIncrement(double Range, double MaxSteps)
{
    if (!(Range > 0) || !std::isfinite(Range)) return 1;
    if (!(MaxSteps >= 1)) MaxSteps = 1;
    const double raw = Range / std::min(MaxSteps, 1e6);
    if (!(raw > 0)) return Range;  // steps finer than the doubles
    const double p = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        const double inc = m * p;
        if (inc >= raw * (1 - 1e-9) && inc > 0 && std::isfinite(inc)) return inc;
    }
    return raw;
}

std::vector<double> TAxisScale::TickValues(double Min, double Max, double Increment)
{
    std::vector<double> result;
    if (!(Increment > 0) || !std::isfinite(Increment) || !std::isfinite(Min) || !std::isfinite(Max) || Max < Min)
        return result;
    const double k0 = std::ceil(Min / Increment - 1e-6);
    const double k1 = std::floor(Max / Increment + 1e-6);
    if (!(k1 - k0 < MaxTicks)) return result;  // an increment far too small for the range (or NaN)
    // Beyond 2^53 the multiples of the increment are no longer apart: some coincide, and are
    // given once.
    const int count = k1 >= k0 ? static_cast<int>(k1 - k0) + 1 : 0;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        double v = (k0 + i) * Increment;
        if (std::fabs(v) < Increment * 1e-9) v = 0;
        v = std::clamp(v, Min, Max);
        if (result.empty() || v > result.back()) result.push_back(v);
    }
    return result;
}

UnicodeString TAxisScale::FormatLabel(double Value, double Increment, char DecimalSeparator)
{
    if (!std::isfinite(Value)) return "";
    const bool tidy = Increment > 0 && std::isfinite(Increment);
    if (Value == 0 || (tidy && std::fabs(Value) < Increment * 1e-9)) return "0";
    char buf[64];
    const double mag = std::fabs(Value);
    const bool exponent = mag >= 1e9 || (tidy && Increment < 1e-6);
    if (exponent) {
        double digits = 0;
        if (tidy) digits = std::floor(std::log10(mag)) - std::floor(std::log10(Increment));
        std::snprintf(buf, sizeof buf, "%.*E", static_cast<int>(std::clamp(digits, 0.0, 15.0)), Value);
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
    if (tidy) {
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
