// Project files the window and the exporter tests load: realistic dependencies that differ in
// their constants, ranges and point counts.
#pragma once

#include <string>

// Three dependencies (the second analyte's constant 0.3, 0.5 and 0.7 per mM; 0 to 50 mM at 50,
// 20 and 7 points), the reals written with Separator and DecSep its character code.
inline std::string ThreeDependencyProject(char Separator = '.')
{
    auto real = [Separator](std::string Text) {
        for (char& ch : Text)
            if (ch == '.') ch = Separator;
        return Text;
    };
    std::string text = "[General]\r\nDecSep=" + std::to_string(int(static_cast<unsigned char>(Separator)))
        + "\r\nCount=3\r\n";
    const char* k2[3] = {"0.3", "0.5", "0.7"};
    const char* points[3] = {"50", "20", "7"};
    for (int i = 0; i < 3; ++i) {
        text += "[Dependency" + std::to_string(i) + "]\r\nname=K2 " + k2[i] + "\r\nanalyte1=Ketoprofen\r\n"
            + "analyte2=Ibuprofen\r\nselector=beta-CD\r\ncMin=0\r\ncMax=50\r\npoints=" + points[i]
            + "\r\nCapillary=" + real("0.485") + "\r\nDetector=" + real("0.4") + "\r\nVoltage=25000\r\n"
            + "EOF=" + real("4E-8") + "\r\nu01=" + real("2E-8") + "\r\nu02=" + real("2.1E-8")
            + "\r\nu1=" + real("5E-9") + "\r\nu2=" + real("5E-9") + "\r\nK1=" + real("0.2")
            + "\r\nK2=" + real(k2[i]) + "\r\n";
    }
    return text;
}
