#include "visualcases.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kivamo::test {

namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

std::string trim(const std::string& s)
{
    auto b = s.find_first_not_of(" \t\r");
    auto e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// "output.expected.png@last_frame[tol=0,outliers=0;tol=32,outliers=10]"
bool parseCapture(const std::string& text, long lastFrame, Capture& c)
{
    auto at = text.find('@');
    auto open = text.find('[');
    auto close = text.find(']');
    if (at == std::string::npos || open == std::string::npos || close == std::string::npos || open < at)
        return false;
    c.image = text.substr(0, at);
    std::string frame = text.substr(at + 1, open - at - 1);
    c.frame = frame == "last_frame" ? lastFrame : std::atol(frame.c_str());
    for (const std::string& pair : split(text.substr(open + 1, close - open - 1), ';')) {
        Tolerance t;
        for (const std::string& field : split(pair, ',')) {
            auto eq = field.find('=');
            if (eq == std::string::npos)
                continue;
            std::string key = trim(field.substr(0, eq));
            long value = std::atol(field.substr(eq + 1).c_str());
            if (key == "tol")
                t.tolerance = static_cast<int>(value);
            else if (key == "outliers")
                t.maxOutliers = value;
        }
        c.tolerances.push_back(t);
    }
    return true;
}

}  // namespace

std::vector<VisualCase> readVisualManifest(const std::string& path)
{
    std::vector<VisualCase> cases;
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);  // column names
    while (std::getline(in, line)) {
        auto columns = split(line, '\t');
        if (columns.size() < 12)
            continue;
        VisualCase v;
        v.dir = columns[2];
        auto eq = columns[6].find('=');
        v.frames = eq == std::string::npos ? 1 : std::max(1L, std::atol(columns[6].c_str() + eq + 1));
        v.quality = columns[9];
        for (const std::string& part : split(columns[11], '|')) {
            std::string text = trim(part);
            auto space = text.find(' ');
            if (space != std::string::npos)
                text = text.substr(0, space);  // drops notes such as RUFFLE_KNOWN_FAILURE
            Capture c;
            if (parseCapture(text, v.frames, c))
                v.captures.push_back(c);
        }
        cases.push_back(std::move(v));
    }
    return cases;
}

long countOutliers(const QImage& actual, const QImage& expected, int tolerance)
{
    QImage a = actual.convertToFormat(QImage::Format_RGBA8888);
    QImage e = expected.convertToFormat(QImage::Format_RGBA8888);
    if (a.size() != e.size())
        return static_cast<long>(e.width()) * e.height() * 4 + 1;
    long outliers = 0;
    for (int y = 0; y < e.height(); ++y) {
        const uchar* pa = a.constScanLine(y);
        const uchar* pe = e.constScanLine(y);
        for (int x = 0; x < e.width() * 4; ++x)
            if (std::abs(int(pa[x]) - int(pe[x])) > tolerance)
                ++outliers;
    }
    return outliers;
}

std::vector<std::string> readExpectedFailures(const std::string& path, const std::string& manifest)
{
    std::vector<std::string> dirs;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string m, dir;
        if (fields >> m >> dir && m == manifest && m[0] != '#')
            dirs.push_back(dir);
    }
    return dirs;
}

}  // namespace kivamo::test
