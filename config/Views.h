#ifndef ORVTEST_CONFIG_VIEWS_H
#define ORVTEST_CONFIG_VIEWS_H

#include "config/Result.h"
#include "config/ValueChecks.h"
#include "sky/Vector.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

// The camera's vertical field of view, degrees: the engine's 45 unless a
// person zooms, from 1 to 120.
constexpr double defaultFieldOfView = 45.0;
constexpr double narrowestFieldOfView = 1.0;
constexpr double widestFieldOfView = 120.0;

// A view kept by name in the views file: where the camera stands and looks,
// the body it went to and whether it follows it, the time and the panels
// shown. Fields carry the names of their keys (viewKeys()).
struct SavedView
{
    std::string name;                                       // the section name
    Ogre::Vector3 Position = Ogre::Vector3::ZERO;           // the camera, world units
    Ogre::Vector3 Direction = Ogre::Vector3::NEGATIVE_UNIT_Z;   // where it looks
    Ogre::Vector3 Up = Ogre::Vector3::UNIT_Y;               // its top edge points this way
    std::string Focus;                                      // section name of the body gone to; "" for none
    LineText CatalogueFocus;                                // or the catalogue body's name as its catalogue writes it
    bool Follow = false;
    Ogre::Vector3 Offset = Ogre::Vector3::ZERO;             // from the followed body's centre, world units
    double Rate = 1.0;                                      // the frame-locked time rate, signed
    bool Paused = false;
    ::Date Date;                                            // the clock's (UTC), when `dated`
    double Speed = NAN;                                     // the clock's, sky seconds a second; NaN: its start speed
    bool OrbitLines = false;
    bool Names = false;
    bool Statistics = true;
    double FieldOfView = defaultFieldOfView;                // vertical, degrees
    bool Constellations = false;                            // the real sky's figures shown
    bool MilkyWay = true;                                   // the real sky's Milky Way shown
    bool TrueScale = false;                                 // taken at true scale: Position and Offset in km

    // Position and Offset as read and written at true scale, km from the Sun
    // and from the followed body: a float would hold Neptune's distance to 500 km.
    Vector3d PositionKm;
    Vector3d OffsetKm;

    bool dated = false;   // whether the view says a date
    int line = 0;         // of its section line; 0 for a view not read from a file
};

// One key of a view's section.
struct ViewKey
{
    const char* name;
    bool required;                  // a view without it is left out
    const char* defaultValue;       // as the file would write it; "" for none
    KeyField<SavedView> field;
    std::optional<ValueLimits> limits = std::nullopt;
};

// Every key of a view, in the order docs/VIEWS-AND-FILMS.md's table and the writer give them.
const std::vector<ViewKey>& viewKeys();
const ViewKey* findViewKey(const std::string& name);

// "views.cfg": the name of the views file, which lives beside the settings.
extern const char* const viewsFileName;

// The camera's orientation the view's Direction and Up give; Up is taken at
// right angles to Direction, and where it runs along it (upAlongDirection),
// the world's up (or +X) stands in.
Ogre::Quaternion viewOrientation(const SavedView& view);
// Whether Up gives no side to look along Direction: it runs along it, or is 0 0 0.
bool upAlongDirection(const SavedView& view);
// Sets Direction and Up from an orientation.
void setViewOrientation(SavedView& view, const Ogre::Quaternion& orientation);

// The views of a views file's text that the viewer shows, in file order, as
// judgeViewsText (config/ViewsJudge.h) finds them.
std::vector<SavedView> readViews(const std::string& text);

// The views of the file; none when there is no file. A Failure, for a
// person, when it cannot be read.
Result<std::vector<SavedView>> loadViews(const std::string& file);

// The view's section as the file writes it: every key, numbers that read back
// exactly.
std::string viewSection(const SavedView& view);

// Keeps the view in the file, writing a new copy beside it and renaming it
// into place, so that the views already there are never lost, whatever
// happens meanwhile; the rest of the file (comments, hand edits) stays as it
// was. A new name goes last; a name the file holds is NameTaken unless
// `replace`, which puts the view in the first place of that name. A Failure
// leaves the file as it was.
enum class Kept
{
    Added,
    Replaced,
    NameTaken,
};
Result<Kept> keepView(const std::string& file, const SavedView& view, bool replace);

// The view of that name (exactly), or null.
const SavedView* findView(const std::vector<SavedView>& views, const std::string& name);

#endif
