// TNumEdit: the accepting edit for one floating-point number, and its number
// format TFloatFormatProperty.
#pragma once

#include "controls/AutoEdit.h"
#include "platform/SysUtils.h"

#include <memory>

// How a TNumEdit shows its number. Every setter that changes a value calls
// Reset, which clamps Digits and tells the owner (OnChange).
class TFloatFormatProperty : public TPersistent {
public:
    TFloatFormatProperty() = default;
    ~TFloatFormatProperty() override;

    // Same class: copies the four settings, then Reset. Another class raises
    // the assignment error.
    void Assign(TPersistent* Source) override;

    TFloatFormat GetFormat() const { return Format; }
    void SetFormat(TFloatFormat Value);
    int GetPrecision() const { return Precision; }
    void SetPrecision(int Value);
    int GetDigits() const { return Digits; }
    void SetDigits(int Value);
    bool GetPercentage() const { return Percentage; }
    void SetPercentage(bool Value);

    // Clamps Digits to what Format allows (4 exponent digits, 18 decimals), then
    // notifies the owner.
    void Reset();

    TFloatFormat Format = ffGeneral;
    int Precision = 6;  // significant digits
    int Digits = 4;     // exponent digits or decimals, by Format
    bool Percentage = false; // shown times 100 with the suffix " %"
    TChangeNotify OnChange;
};

class TNumEdit : public TAutoEdit {
public:
    explicit TNumEdit(TComponent* AOwner);
    ~TNumEdit() override;

    // Same class: copies the value and the number format (the shown text is not
    // re-formatted), then what TAutoEdit::Assign copies.
    void Assign(TPersistent* Source) override;

    // The number; reading forces acceptance of a modified text and raises
    // EPropertyError when it is rejected.
    double GetValue();
    // Writes the number as text (FloatToStr) through SetText: accepted as if typed.
    void SetValue(double Value);

    // The number of the last accepted text; reading never starts acceptance.
    double GetAcceptedValue() const { return FAcceptedValue; }
    const double& AcceptedValue = FAcceptedValue;

    TFloatFormatProperty* GetFloatFormat() const { return FFloatFormat.get(); }
    // Copies the settings of Value; the shown text is re-formatted.
    void SetFloatFormat(TFloatFormatProperty* Value);

    // Rewrites the shown text from the value in the number format.
    void Reset();

    // Reads a text as the field does: blanks around it ignored, one trailing
    // percent sign divides by 100, the program-wide decimal separator, at most
    // 1.7e308 in magnitude. Value is left alone when the text is not a number.
    static bool TextToValue(const UnicodeString& Text, double& Value);

    // Reads Text into FNewValue; false when it is not a number.
    bool _Accept(const UnicodeString& Text) override;
    // Takes the new number as value and accepted value, then re-formats the text.
    void _Accepted() override;

protected:
    double FValue = 0;
    std::unique_ptr<TFloatFormatProperty> FFloatFormat;
    double FNewValue = 0;

private:
    double FAcceptedValue = 0;
};

// A TNumEdit whose number may also be left out: a blank text is accepted as "no number" and
// stays blank (value 0). Starts blank.
class TOptionalNumEdit : public TNumEdit {
public:
    explicit TOptionalNumEdit(TComponent* AOwner);

    // Whether the last accepted text held a number.
    bool HasValue() const { return FHasValue; }
    // Leaves the number out: the field shows a blank text.
    void Clear();

    bool _Accept(const UnicodeString& Text) override;
    void _Accepted() override;

private:
    bool FHasValue = false;
    bool FNewHasValue = false;
};
