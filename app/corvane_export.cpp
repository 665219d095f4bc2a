// corvane-export: the curves of a Corvane project as CSV and its chart as PNG, SVG or PDF, without
// a window. The project is read as the window's Load command reads it, the curves are those the
// window computes, and the chart is the window's chart, drawn off screen.
//
// Exit status: 0 done, 1 the project cannot be loaded or computed, 2 bad usage, 3 an output
// cannot be written.
#include "model/DesignSpace.h"
#include "model/Sweep.h"
#include "platform/Chart.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/IniFilesDisk.h"
#include "project/ChartFormats.h"
#include "project/CurvesText.h"
#include "project/DependencyChart.h"
#include "project/DesignMapChart.h"
#include "project/MapText.h"
#include "project/ProjectFile.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef CORVANE_VERSION
#define CORVANE_VERSION "0"
#endif

namespace {

constexpr const char* Program = "corvane-export";

enum TExitCode { ExitDone = 0, ExitProject = 1, ExitUsage = 2, ExitWrite = 3 };

// Chart sizes (pixels per side) the exporter accepts; the PNG scale multiplies them.
constexpr int MinChartSide = 50;
constexpr int MaxChartSide = 4096;

const char UsageText[] =
    "Usage: corvane-export PROJECT.ini [--csv FILE|-] [--png FILE] [--svg FILE] [--pdf FILE]\n"
    "                      [--graph N|TEXT] [--size WxH] [--scale 1|2|3] [--all-values] [--analysis]\n"
    "                      [--fit FILE|-] [--map FILE|-] [--map-y pH|voltage|detector]\n"
    "                      [--map-from Y] [--map-to Y] [--map-size NXxNY]\n"
    "                      [--map-png FILE] [--map-svg FILE] [--map-pdf FILE] [--map-of N]\n";

struct TOptions {
    std::string Project;
    std::optional<std::string> Csv;  // "-" for standard output
    std::optional<std::string> Png;
    std::optional<std::string> Svg;
    std::optional<std::string> Pdf;
    int GraphChoice = 0;
    int Width = DependencyChartWidth;
    int Height = DependencyChartHeight;
    int Scale = 1;
    bool AllValues = false;
    bool Analysis = false;
    std::optional<std::string> Fit;  // the fits of the measurements; "-" for standard output
    std::optional<std::string> Map;  // the design-space grids; "-" for standard output
    std::optional<TMapCondition> MapY;  // default: the pH with the pH model on, else the voltage
    std::optional<double> MapFrom, MapTo;
    int MapNx = DefaultMapSize;
    int MapNy = DefaultMapSize;
    // The map's pictures, of the dependency at list position MapOf (from 1).
    std::optional<std::string> MapPng, MapSvg, MapPdf;
    int MapOf = 1;
    bool MapPictures() const { return MapPng || MapSvg || MapPdf; }
};

// Bad usage: the message goes to standard error with the usage text, exit status 2.
struct TUsageError {
    std::string Message;
};

void PrintHelp()
{
    std::fputs(UsageText, stdout);
    std::fputs("\nWrites the curves of a Corvane project as CSV and its chart as PNG, SVG or PDF, "
               "without a window.\nThe project is read and computed as the window's Load command "
               "does; the chart is the\nwindow's, titled with the project's path.\n\n",
               stdout);
    std::fputs("  --csv FILE|-     the curves as CSV (- for standard output), with the project's\n"
               "                   decimal separator\n"
               "  --png FILE       the chart as a PNG picture\n"
               "  --svg FILE       the chart as an SVG drawing\n"
               "  --pdf FILE       the chart as a PDF page\n"
               "  --graph N|TEXT   the separation measure, by its number in the window's graph list\n"
               "                   or by its text (case does not matter); default 0:\n",
               stdout);
    for (int i = 0; i < GraphChoiceCount; ++i)
        std::printf("                     %d  %s\n", i, GraphText(i).c_str());
    std::printf("  --size WxH       the chart's size in pixels, %d to %d a side (default %dx%d,\n"
                "                   the window's chart at the window's default size)\n",
                MinChartSide, MaxChartSide, DependencyChartWidth, DependencyChartHeight);
    std::fputs("  --scale 1|2|3    pixels of the PNG picture per chart pixel (default 1)\n"
               "  --all-values     every point value in SI units after the shown columns\n"
               "  --analysis       the separation analysis of every dependency after the curves,\n"
               "                   after one empty line (needs --csv)\n"
               "  --fit FILE|-     the fit of every dependency with measurements as CSV: u0, uCS, K\n"
               "                   with standard errors and 95 % profile-t intervals, n, RSS, s, R2\n"
               "                   (- for standard output); fits without values go to standard error\n"
               "  --map FILE|-     the design-space map of every dependency as CSV, one row per grid\n"
               "                   point: the concentration over the dependency's range (spaced as\n"
               "                   the analysis spaces it), the y condition, Rs, t1, t2, dt, the\n"
               "                   longest run and every measure (- for standard output)\n"
               "  --map-y pH|voltage|detector\n"
               "                   the map's y condition (default: the pH where the pH model is on,\n"
               "                   else the voltage)\n"
               "  --map-from Y     the y range's start and end, in pH units, V or m (default: the\n"
               "  --map-to Y       pH +- 2, 5 to 30 kV, a fifth of the capillary to its length)\n"
               "  --map-size NXxNY grid points along the concentration and along y, 2 to 1001\n"
               "                   each (default 101x101)\n"
               "  --map-png FILE   the map of one dependency as a PNG picture (at --scale), as the\n"
               "                   design-space window draws it: Rs with its scale, the contour at\n"
               "                   Rs = 1.5, the region where Rs >= 1.5 and its most robust point\n"
               "  --map-svg FILE   the same as an SVG drawing\n"
               "  --map-pdf FILE   the same as a PDF page\n"
               "  --map-of N       the dependency of the map's pictures, by its place in the list\n"
               "                   (default 1, the first)\n"
               "  --help           this text\n"
               "  --version        the program's version\n\n"
               "Nothing is written unless the project was computed and every output can be\n"
               "written; each file is replaced at once, so a failed write leaves the old one as it was.\n\n"
               "Exit status: 0 done, 1 the project cannot be loaded or computed, 2 bad usage,\n"
               "3 an output cannot be written.\n",
               stdout);
}

void PrintVersion()
{
    std::printf("%s (Corvane) %s\n", Program, CORVANE_VERSION);
    std::fputs("Writes the curves and the chart of a Corvane project without a window.\n", stdout);
}

// A whole decimal number from 0 up to Max; nothing else (no sign, no spaces, no other digits).
std::optional<int> ParseCount(std::string_view Text, int Max)
{
    if (Text.empty() || Text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char ch : Text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    if (value > Max)
        return std::nullopt;
    return value;
}

int ParseGraph(const std::string& Text)
{
    if (const auto index = ParseCount(Text, GraphChoiceCount - 1))
        return *index;
    for (int i = 0; i < GraphChoiceCount; ++i)
        if (SameText(Text, GraphText(i)))
            return i;
    throw TUsageError{"unknown graph '" + Text + "' (see --help for the choices)"};
}

// A real number in the C locale's form ("7.5", "-1e4"), finite; nothing else.
double ParseReal(const std::string& Option, const std::string& Text)
{
    char* end = nullptr;
    const double value = Text.empty() ? 0 : std::strtod(Text.c_str(), &end);
    if (Text.empty() || end != Text.c_str() + Text.size() || !std::isfinite(value) || std::isspace(static_cast<unsigned char>(Text[0])))
        throw TUsageError{"option '" + Option + "' needs a number, not '" + Text + "'"};
    return value;
}

TMapCondition ParseMapY(const std::string& Text)
{
    const std::pair<const char*, TMapCondition> names[] = {
        {"pH", TMapCondition::pH}, {"voltage", TMapCondition::Voltage}, {"detector", TMapCondition::Detector}};
    for (const auto& [name, condition] : names)
        if (SameText(Text, name))
            return condition;
    throw TUsageError{"unknown map condition '" + Text + "' (pH, voltage or detector)"};
}

void ParseMapSize(const std::string& Text, TOptions& Options)
{
    const auto x = Text.find_first_of("xX");
    const auto w = x == std::string::npos ? std::nullopt : ParseCount(std::string_view(Text).substr(0, x), MaxMapSize);
    const auto h = x == std::string::npos ? std::nullopt : ParseCount(std::string_view(Text).substr(x + 1), MaxMapSize);
    if (!w || !h || *w < MinMapSize || *h < MinMapSize)
        throw TUsageError{"bad map size '" + Text + "' (NXxNY, " + std::to_string(MinMapSize) + " to " +
                          std::to_string(MaxMapSize) + " grid points along each axis)"};
    Options.MapNx = *w;
    Options.MapNy = *h;
}

void ParseSize(const std::string& Text, TOptions& Options)
{
    const auto x = Text.find_first_of("xX");
    const auto w = x == std::string::npos ? std::nullopt : ParseCount(std::string_view(Text).substr(0, x), MaxChartSide);
    const auto h = x == std::string::npos ? std::nullopt : ParseCount(std::string_view(Text).substr(x + 1), MaxChartSide);
    if (!w || !h || *w < MinChartSide || *h < MinChartSide)
        throw TUsageError{"bad size '" + Text + "' (WxH, " + std::to_string(MinChartSide) + " to "
                          + std::to_string(MaxChartSide) + " pixels a side)"};
    Options.Width = *w;
    Options.Height = *h;
}

// The map's pictures: their options (drawn by DrawMapPictures below).

// Takes one of the map picture options; false for any other option.
template <class Value, class Picture>
bool ParseMapPictureOption(const std::string& Arg, Value& value, Picture& picture, TOptions& Options)
{
    if (Arg == "--map-png")
        Options.MapPng = picture();
    else if (Arg == "--map-svg")
        Options.MapSvg = picture();
    else if (Arg == "--map-pdf")
        Options.MapPdf = picture();
    else if (Arg == "--map-of") {
        const std::string text = value();
        const auto n = ParseCount(text, 1000000);
        if (!n || *n < 1)
            throw TUsageError{"bad dependency '" + text + "' for --map-of (its place in the list, from 1)"};
        Options.MapOf = *n;
    } else
        return false;
    return true;
}

// The options in any order, each value either the next argument or after "=" ("--png=a.png");
// "--" ends the options. Returns false when --help or --version was answered.
bool ParseArguments(int argc, char** argv, TOptions& Options)
{
    bool haveProject = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (haveProject)
                throw TUsageError{"more than one project file ('" + Options.Project + "', '" + arg + "')"};
            Options.Project = arg;
            haveProject = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<std::string> attached;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            attached = arg.substr(eq + 1);
            arg.resize(eq);
        }
        auto flag = [&](bool& Target) {
            if (attached)
                throw TUsageError{"option '" + arg + "' takes no value"};
            Target = true;
        };
        auto value = [&]() -> std::string {
            if (attached)
                return *attached;
            if (i + 1 >= argc)
                throw TUsageError{"option '" + arg + "' needs a value"};
            return argv[++i];
        };
        auto file = [&]() {
            std::string name = value();
            if (name.empty())
                throw TUsageError{"option '" + arg + "' needs a file name"};
            return name;
        };
        // Pictures go to files only; "-" (standard output) is for the text.
        auto picture = [&]() {
            std::string name = file();
            if (name == "-")
                throw TUsageError{"option '" + arg + "' needs a file name; only --csv writes to standard output"};
            return name;
        };
        if (arg == "--help" && !attached) {
            PrintHelp();
            return false;
        }
        if (arg == "--version" && !attached) {
            PrintVersion();
            return false;
        }
        if (arg == "--csv")
            Options.Csv = file();
        else if (arg == "--png")
            Options.Png = picture();
        else if (arg == "--svg")
            Options.Svg = picture();
        else if (arg == "--pdf")
            Options.Pdf = picture();
        else if (arg == "--graph")
            Options.GraphChoice = ParseGraph(value());
        else if (arg == "--size")
            ParseSize(value(), Options);
        else if (arg == "--scale") {
            const std::string text = value();
            const auto scale = ParseCount(text, 3);
            if (!scale || *scale < 1)
                throw TUsageError{"bad scale '" + text + "' (1, 2 or 3)"};
            Options.Scale = *scale;
        } else if (arg == "--all-values")
            flag(Options.AllValues);
        else if (arg == "--analysis")
            flag(Options.Analysis);
        else if (arg == "--fit")
            Options.Fit = file();
        else if (arg == "--map")
            Options.Map = file();
        else if (arg == "--map-y")
            Options.MapY = ParseMapY(value());
        else if (arg == "--map-from")
            Options.MapFrom = ParseReal(arg, value());
        else if (arg == "--map-to")
            Options.MapTo = ParseReal(arg, value());
        else if (arg == "--map-size")
            ParseMapSize(value(), Options);
        else if (ParseMapPictureOption(arg, value, picture, Options)) {
        } else
            throw TUsageError{"unknown option '" + arg + "'"};
    }
    if (!haveProject)
        throw TUsageError{"no project file given"};
    if (!Options.Csv && !Options.Png && !Options.Svg && !Options.Pdf && !Options.Fit && !Options.Map &&
        !Options.MapPictures())
        throw TUsageError{"no output asked (--csv, --png, --svg, --pdf, --fit, --map or --map-png, --map-svg, "
                          "--map-pdf)"};
    if (Options.Csv == "-" && Options.Fit == "-")
        throw TUsageError{"--csv and --fit cannot both go to standard output"};
    if (Options.Map == "-" && (Options.Csv == "-" || Options.Fit == "-"))
        throw TUsageError{std::string("--map and ") + (Options.Csv == "-" ? "--csv" : "--fit") +
                          " cannot both go to standard output"};
    if (!Options.Map && !Options.MapPictures() &&
        (Options.MapY || Options.MapFrom || Options.MapTo || Options.MapNx != DefaultMapSize ||
         Options.MapNy != DefaultMapSize || Options.MapOf != 1))
        throw TUsageError{"the --map-... options need --map or a map picture"};
    if (Options.Analysis && !Options.Csv)
        throw TUsageError{"--analysis needs --csv"};
    return true;
}

// The output files asked for (standard output is none).
std::vector<std::string> OutputFiles(const TOptions& Options)
{
    std::vector<std::string> files;
    for (const auto* f : {&Options.Png, &Options.Svg, &Options.Pdf})
        if (*f)
            files.push_back(**f);
    if (Options.Csv && *Options.Csv != "-")
        files.push_back(*Options.Csv);
    if (Options.Fit && *Options.Fit != "-")
        files.push_back(*Options.Fit);
    if (Options.Map && *Options.Map != "-")
        files.push_back(*Options.Map);
    for (const auto* f : {&Options.MapPng, &Options.MapSvg, &Options.MapPdf})
        if (*f)
            files.push_back(**f);
    return files;
}

// No output may overwrite the project or another output of the same run.
void CheckOutputsDiffer(const TOptions& Options)
{
    namespace fs = std::filesystem;
    const std::vector<std::string> files = OutputFiles(Options);
    std::vector<fs::path> seen;
    std::error_code ec;
    for (const std::string& f : files) {
        if (fs::equivalent(f, Options.Project, ec))
            throw TUsageError{"the output '" + f + "' is the project file"};
        const fs::path p = fs::weakly_canonical(fs::absolute(f, ec), ec);
        for (const fs::path& other : seen)
            if (p == other)
                throw TUsageError{"two outputs go to '" + f + "'"};
        seen.push_back(p);
    }
}

// The CSV text: the curves and, when asked, the analysis table after one empty line.
std::string CsvText(const std::vector<DependencyRecord>& Records, const TOptions& Options, WideChar Separator)
{
    CurvesTextOptions o;
    o.GraphChoice = Options.GraphChoice;
    o.AllValues = Options.AllValues;
    o.DecimalSeparator = Separator;
    std::string text = CurvesText(Records, o);
    // The rows end in CRLF; one empty line, then the table without a second byte-order mark.
    if (Options.Analysis)
        text += "\r\n" + AnalysisTable(Records, o, false);
    return text;
}

// The map settings of a dependency under the --map-... options.
DesignSpaceSettings MapSettings(const Params& p, const TOptions& Options)
{
    const TMapCondition y = Options.MapY ? *Options.MapY : p.applypH ? TMapCondition::pH : TMapCondition::Voltage;
    DesignSpaceSettings s = DefaultDesignSpace(p, y);
    if (Options.MapFrom)
        s.yFrom = *Options.MapFrom;
    if (Options.MapTo)
        s.yTo = *Options.MapTo;
    s.nx = Options.MapNx;
    s.ny = Options.MapNy;
    return s;
}

// The maps of every dependency under the --map-... options, as CSV.
std::string MapCsv(const std::vector<DependencyRecord>& Records, const TOptions& Options, WideChar Separator)
{
    std::vector<DesignMap> maps;
    maps.reserve(Records.size());
    std::vector<MapTextEntry> entries;
    for (size_t i = 0; i < Records.size(); ++i) {
        const Params& p = Records[i].Params;
        const DesignSpaceSettings s = MapSettings(p, Options);
        try {
            maps.push_back(ComputeDesignMap(p, s));
        } catch (const Exception& e) {
            throw Exception(DependencyTitle(i, Records[i].name) + ": " + e.Message());
        }
        for (const UnicodeString& w : maps.back().Warnings)
            std::fprintf(stderr, "%s: %s: %s\n", Program, DependencyTitle(i, Records[i].name).c_str(), w.c_str());
    }
    for (size_t i = 0; i < Records.size(); ++i)
        entries.push_back({i, &Records[i], &maps[i], nullptr});
    CurvesTextOptions o;
    o.DecimalSeparator = Separator;
    return MapText(entries, o);
}

void WriteStandardOutput(const std::string& Text)
{
    if (std::fwrite(Text.data(), 1, Text.size(), stdout) != Text.size() || std::fflush(stdout) != 0)
        throw Exception("Cannot write to the standard output");
}

void WriteFile(const std::string& Path, const std::string& Text)
{
    if (!ReplaceFile(Path, Text))
        throw EFCreateError("Cannot create file \"" + Path + "\"");
}

// The chart files asked for, each with its format and, once drawn, its bytes.
struct TPicture {
    const TChartFormat* Format;
    std::string File;
    std::string Bytes;
};

std::vector<TPicture> PicturesAsked(const TOptions& Options)
{
    std::vector<TPicture> pictures;
    const std::pair<const std::optional<std::string>*, const char*> asked[] = {
        {&Options.Png, "png"}, {&Options.Svg, "svg"}, {&Options.Pdf, "pdf"}};
    for (const auto& [file, extension] : asked) {
        if (!*file)
            continue;
        const int scale = std::string_view(extension) == "png" ? Options.Scale : 1;
        for (const TChartFormat& f : ChartFormats)
            if (extension == std::string_view(f.Extension) && f.Scale == scale)
                pictures.push_back({&f, **file, {}});
    }
    return pictures;
}

// ---------------------------------------------------------------------------------------------
// The map's pictures: --map-png, --map-svg, --map-pdf and --map-of

// The map of dependency MapOf under the --map-... options, drawn as the design-space window draws
// it, in every format asked for (the toolkit is running).
std::vector<TPicture> DrawMapPictures(const std::vector<DependencyRecord>& Records, const TOptions& Options)
{
    const size_t index = static_cast<size_t>(Options.MapOf - 1);
    if (index >= Records.size())
        throw Exception("--map-of " + std::to_string(Options.MapOf) + ": the project has " +
                        std::to_string(Records.size()) + " dependencies");
    const DependencyRecord& r = Records[index];
    DesignMap map;
    try {
        map = ComputeDesignMap(r.Params, MapSettings(r.Params, Options));
    } catch (const Exception& e) {
        throw Exception(DependencyTitle(index, r.name) + ": " + e.Message());
    }
    const GoodRegion region = FindGoodRegion(map);
    TChart chart(nullptr);
    chart.SetBounds(0, 0, DesignMapChartWidth, DesignMapChartHeight);
    DressDesignMapChart(&chart);
    ShowDesignMap(&chart, {&map, &region, nullptr, mvRs});
    std::vector<TPicture> pictures;
    const std::pair<const std::optional<std::string>*, const char*> asked[] = {
        {&Options.MapPng, "png"}, {&Options.MapSvg, "svg"}, {&Options.MapPdf, "pdf"}};
    for (const auto& [file, extension] : asked) {
        if (!*file)
            continue;
        const int scale = std::string_view(extension) == "png" ? Options.Scale : 1;
        for (const TChartFormat& f : ChartFormats)
            if (extension == std::string_view(f.Extension) && f.Scale == scale) {
                pictures.push_back({&f, **file, f.Render(chart, f.Scale)});
                if (pictures.back().Bytes.empty())
                    throw EFCreateError("Cannot create file \"" + **file + "\"");
            }
    }
    return pictures;
}

int Run(const TOptions& Options)
{
    // Everything is computed, and every picture drawn, before the first file is touched: a
    // project that cannot be loaded or swept writes nothing.
    std::vector<DependencyRecord> records;
    std::string csv, fit, map;
    std::vector<TPicture> pictures = PicturesAsked(Options);
    std::vector<TPicture> mapPictures;
    // The toolkit ends after the chart (declared before it), so that the process ends with
    // everything given back.
    struct TToolkitEnd {
        ~TToolkitEnd() { Application->Finalize(); }
    };
    std::optional<TToolkitEnd> toolkit;
    std::unique_ptr<TChart> chart;
    try {
        ProjectContents project = ReadProjectFile(Options.Project);
        // What the reading had to guess, as the window's information box says it; the decimal
        // separator is the file's own here, so it is no news.
        const UnicodeString report = LoadReport(Options.Project, project, project.DecimalSeparator);
        if (!report.empty())
            std::fprintf(stderr, "%s: %s\n", Program, report.c_str());
        records = std::move(project.Records);
        if (Options.Csv)
            csv = CsvText(records, Options, project.DecimalSeparator);
        if (Options.Fit) {
            CurvesTextOptions o;
            o.DecimalSeparator = project.DecimalSeparator;
            std::vector<UnicodeString> messages;
            fit = FitText(records, o, messages);
            for (const UnicodeString& m : messages)
                std::fprintf(stderr, "%s: %s\n", Program, m.c_str());
        }
        if (Options.Map)
            map = MapCsv(records, Options, project.DecimalSeparator);
        if (!pictures.empty() || Options.MapPictures()) {
            // The window's look, whatever the desktop: its system colours and fonts, and the
            // project's separator in the axis labels, as Load sets it.
            Application->Initialize();
            toolkit.emplace();
            ResetSystemColors();
            FormatSettings.DecimalSeparator = project.DecimalSeparator;
            chart = std::make_unique<TChart>(nullptr);
            chart->SetBounds(0, 0, Options.Width, Options.Height);
            DressDependencyChart(chart.get());
            ShowDependencies(chart.get(), records, Options.GraphChoice, Options.Project);
            for (TPicture& p : pictures) {
                p.Bytes = p.Format->Render(*chart, p.Format->Scale);
                if (p.Bytes.empty())
                    throw EFCreateError("Cannot create file \"" + p.File + "\"");
            }
            if (Options.MapPictures())
                mapPictures = DrawMapPictures(records, Options);
        }
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s: %s\n", Program, E.what());
        return ExitProject;
    }

    try {
        // Every file is checked before the first is written, so that a folder that does not
        // exist or a file that may not be replaced stops the run with nothing changed.
        for (const std::string& f : OutputFiles(Options))
            if (!CanReplaceFile(f))
                throw EFCreateError("Cannot create file \"" + f + "\"");
        for (const TPicture& p : pictures)
            WriteFile(p.File, p.Bytes);
        for (const TPicture& p : mapPictures)
            WriteFile(p.File, p.Bytes);
        if (Options.Csv && *Options.Csv != "-")
            WriteFile(*Options.Csv, csv);
        if (Options.Fit && *Options.Fit != "-")
            WriteFile(*Options.Fit, fit);
        if (Options.Map && *Options.Map != "-")
            WriteFile(*Options.Map, map);
        // Standard output last: what it received cannot be taken back.
        if (Options.Csv && *Options.Csv == "-")
            WriteStandardOutput(csv);
        if (Options.Fit && *Options.Fit == "-")
            WriteStandardOutput(fit);
        if (Options.Map && *Options.Map == "-")
            WriteStandardOutput(map);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "%s: %s\n", Program, E.what());
        return ExitWrite;
    }
    return ExitDone;
}

}  // namespace

int main(int argc, char** argv)
{
    TOptions options;
    try {
        if (!ParseArguments(argc, argv, options))
            return std::fflush(stdout) == 0 ? ExitDone : ExitWrite;
        CheckOutputsDiffer(options);
    } catch (const TUsageError& E) {
        std::fprintf(stderr, "%s: %s\n%sTry '%s --help' for more information.\n", Program, E.Message.c_str(),
                     UsageText, Program);
        return ExitUsage;
    }
    // Headless: the off-screen platform unless the caller chose one.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return Run(options);
}
