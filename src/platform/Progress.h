#pragma once
#include <QString>

namespace tlv {

// The progress display every long operation reports to: a caption for the
// running operation and a bar of 0-100.
class Progress
{
public:
    virtual ~Progress() = default;
    // Sets the caption ("" clears it) and clears the bar.
    virtual void showStatus(const QString &caption) = 0;
    // Draws the bar at percent 0-100; 0 erases it.
    virtual void showProgress(int percent) = 0;
};

// The integer part of done * 100 / total; 0 when total is 0.
int percentOf(long long done, long long total);

// The progress display everyone reports to; one that shows nothing until the
// main window installs its status bar.
Progress &progress();
void setProgress(Progress *p);

} // namespace tlv
