#include "controls/NumEdit.h"

// ---- TFloatFormatProperty ----

TFloatFormatProperty::~TFloatFormatProperty() = default;

void TFloatFormatProperty::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TFloatFormatProperty*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    Format = source->Format;
    Precision = source->Precision;
    Digits = source->Digits;
    Percentage = source->Percentage;
    Reset();
}

void TFloatFormatProperty::SetFormat(TFloatFormat Value)
{
    if (Value == Format)
        return;
    Format = Value;
    Reset();
}

void TFloatFormatProperty::SetPrecision(int Value)
{
    if (Value == Precision)
        return;
    Precision = Value;
    Reset();
}

void TFloatFormatProperty::SetDigits(int Value)
{
    if (Value == Digits)
        return;
    Digits = Value;
    Reset();
}

void TFloatFormatProperty::SetPercentage(bool Value)
{
    if (Value == Percentage)
        return;
    Percentage = Value;
    Reset();
}

void TFloatFormatProperty::Reset()
{
    switch (Format) {
    case ffGeneral:
    case ffExponent:
        if (Digits > 4)
            Digits = 4;
        break;
    case ffFixed:
    case ffNumber:
    case ffCurrency:
        if (Digits > 18)
            Digits = 18;
        break;
    }
    if (OnChange)
        OnChange();
}

// ---- TNumEdit ----

TNumEdit::TNumEdit(TComponent* AOwner)
    : TAutoEdit(AOwner), FFloatFormat(std::make_unique<TFloatFormatProperty>())
{
    const UnicodeString zero(1, '0');
    FValue = 0;
    ShowText(zero);
    FAcceptedText = zero;
    FFloatFormat->OnChange = Bind(this, &TNumEdit::Reset);
}

TNumEdit::~TNumEdit()
{
    FFloatFormat->OnChange = nullptr;
}

void TNumEdit::Assign(TPersistent* Source)
{
    auto* source = dynamic_cast<TNumEdit*>(Source);
    if (source == nullptr) {
        TAutoEdit::Assign(Source);
        return;
    }
    FValue = source->FValue;
    FFloatFormat->OnChange = nullptr;
    FFloatFormat->Assign(source->FFloatFormat.get());
    FFloatFormat->OnChange = Bind(this, &TNumEdit::Reset);
    TAutoEdit::Assign(Source);
    // The accepted text comes from the source: so does its number.
    FAcceptedValue = source->FAcceptedValue;
}

bool TNumEdit::TextToValue(const UnicodeString& Text, double& Value)
{
    UnicodeString s = Trim(Text);
    if (s.empty())
        return false;
    const bool percent = s.back() == '%';
    if (percent)
        s.pop_back();
    double number = 0;
    if (!TryStrToFloat(s, number))
        return false;
    if (percent)
        number *= 0.01;
    Value = number;
    return true;
}

bool TNumEdit::_Accept(const UnicodeString& Text)
{
    return TextToValue(Text, FNewValue);
}

void TNumEdit::_Accepted()
{
    FAcceptedValue = FNewValue;
    FValue = FAcceptedValue;
    Reset();
}

void TNumEdit::Reset()
{
    const bool percentage = FFloatFormat->Percentage;
    const long double shown = percentage ? static_cast<long double>(FValue) * 100 : FValue;
    UnicodeString text = FloatToStrF(shown, FFloatFormat->Format, FFloatFormat->Precision,
                                     FFloatFormat->Digits);
    if (percentage)
        text += " %";
    ShowText(text);
}

double TNumEdit::GetValue()
{
    if (FEdited) {
        const UnicodeString submitted = TEdit::GetText();
        if (!Accept())
            throw EPropertyError("[TNumEdit::GetValue] : " + GetName() + " > Value " + "\"" + submitted +
                                 "\"" + " is not accepted.");
    }
    return FValue;
}

void TNumEdit::SetValue(double Value)
{
    SetText(FloatToStr(Value));
}

void TNumEdit::SetFloatFormat(TFloatFormatProperty* Value)
{
    FFloatFormat->Assign(Value);
}

// ---------------------------------------------------------------------------------------------
// TOptionalNumEdit

TOptionalNumEdit::TOptionalNumEdit(TComponent* AOwner) : TNumEdit(AOwner)
{
    Clear();
}

void TOptionalNumEdit::Clear()
{
    FHasValue = FNewHasValue = false;
    FNewValue = FValue = 0;
    SetText(UnicodeString());
}

bool TOptionalNumEdit::_Accept(const UnicodeString& Text)
{
    FNewHasValue = !Trim(Text).empty();
    if (FNewHasValue)
        return TNumEdit::_Accept(Text);
    FNewValue = 0;
    return true;
}

void TOptionalNumEdit::_Accepted()
{
    FHasValue = FNewHasValue;
    TNumEdit::_Accepted();
    if (!FHasValue)
        ShowText(UnicodeString());
}
