// The visual cases of the corpus manifest: which frames to capture, at what size and quality, and how
// closely the picture must match Flash Player's.
#pragma once

#include <QImage>
#include <string>
#include <vector>

namespace kivamo::test {

struct Tolerance {
    int tolerance = 0;
    long maxOutliers = 0;
};

struct Capture {
    std::string image;  // file name in the case folder
    long frame = 0;     // frames run before the capture (1 = the first frame)
    std::vector<Tolerance> tolerances;
};

struct VisualCase {
    std::string dir;
    long frames = 1;
    std::string quality;
    std::vector<Capture> captures;
};

// Reads MANIFEST_visual.tsv; malformed lines are skipped.
std::vector<VisualCase> readVisualManifest(const std::string& path);

// Channel values (RGBA, unpremultiplied) that differ by more than the tolerance.
long countOutliers(const QImage& actual, const QImage& expected, int tolerance);

// Expected failures: "<manifest> <dir> <reason>" per line; returns the dirs listed for the manifest.
std::vector<std::string> readExpectedFailures(const std::string& path, const std::string& manifest);

}  // namespace kivamo::test
