// The views file: views read back as they were kept, in the file's order,
// and nothing lost when a write cannot be made or was cut short.

#include "HeadlessEngine.h"
#include "config/Files.h"
#include "config/Views.h"
#include "config/ViewsJudge.h"

#include <cmath>
#include <tuple>
#include <vector>

namespace
{
std::string textOf(const std::string& path)
{
    const Result<std::string> text = readWholeFile(path);
    return text ? *text : "";
}

// A view with every key away from its default.
SavedView everything(const std::string& name)
{
    SavedView view;
    view.name = name;
    view.Position = Ogre::Vector3(1834.52f, -0.1f, 3.0e12f);
    setViewOrientation(view, Ogre::Quaternion(Ogre::Degree(123.4f), Ogre::Vector3(1, 2, 3).normalisedCopy()));
    view.Focus = "3.Earth.Moon";
    view.Follow = true;
    view.Offset = Ogre::Vector3(-12.1f, 0.3f, 6.5f);
    view.Rate = -0.25;
    view.Paused = true;
    view.dated = true;
    view.Date.days = 9836.3456789;
    view.Speed = 3600.0;
    view.OrbitLines = view.Names = true;
    view.Statistics = false;
    view.FieldOfView = 12.5;
    view.Constellations = true;
    view.MilkyWay = false;
    return view;
}

TEST(ViewsFileTest, KeptViewsReadBackInTheFilesOrderAndANameIsReplacedOnlyWhenAsked)
{
    const std::string file = writeTempFile("views.cfg", "# my note\n[old]\nPosition=1 2 3\nDirection=0 0 1\n# on b\n");
    ASSERT_EQ(Kept::Added, *keepView(file, everything("Earth rise"), false));
    SavedView plain;
    plain.name = "b";
    ASSERT_EQ(Kept::Added, *keepView(file, plain, false));

    std::vector<SavedView> views = *loadViews(file);
    ASSERT_EQ(3u, views.size());
    EXPECT_EQ("old", views[0].name);
    EXPECT_EQ("b", views[2].name);
    const SavedView kept = everything("Earth rise");
    const SavedView& read = views[1];
    EXPECT_EQ(std::tie(kept.name, kept.Position, kept.Focus, kept.Offset, kept.Rate, kept.Speed, kept.FieldOfView),
              std::tie(read.name, read.Position, read.Focus, read.Offset, read.Rate, read.Speed, read.FieldOfView));
    EXPECT_TRUE(turnsNear(viewOrientation(kept), viewOrientation(read), 1e-4));
    EXPECT_TRUE(read.Follow && read.Paused && read.dated && read.OrbitLines && read.Names && !read.Statistics &&
                read.Constellations && !read.MilkyWay);
    EXPECT_NEAR(kept.Date.days, read.Date.days, 0.001 / 86400);   // to the millisecond
    EXPECT_TRUE(views[0].FieldOfView == 45.0 && !views[0].Constellations && views[0].MilkyWay);
    EXPECT_FALSE(views[2].dated || views[2].Follow || views[0].dated);
    // A view kept without a speed of its own keeps none: it takes the clock's start speed.
    EXPECT_TRUE(std::isnan(views[2].Speed));

    // A name kept already: left as it is unless replacing is asked for, then replaced in its place.
    SavedView moved = kept;
    moved.Position = Ogre::Vector3(5, 5, 5);
    const std::string before = textOf(file);
    EXPECT_EQ(Kept::NameTaken, *keepView(file, moved, false));
    EXPECT_EQ(before, textOf(file));
    EXPECT_EQ(Kept::Replaced, *keepView(file, moved, true));
    views = *loadViews(file);
    ASSERT_EQ(3u, views.size());
    EXPECT_EQ("Earth rise", views[1].name);
    EXPECT_EQ(moved.Position, views[1].Position);
    EXPECT_NE(std::string::npos, textOf(file).find("# my note\n[old]"));
    EXPECT_NE(std::string::npos, textOf(file).find("# on b\n"));
}

TEST(ViewsFileTest, AViewAtTrueScaleIsReadInKilometresAndOneAtTheDisplayScaleSaysNothingOfIt)
{
    // A view kept at true scale, to the last digit, is scene/TrueScaleTest's.
    const std::string file = writeTempFile("views.cfg", "");
    ASSERT_EQ(Kept::Added, *keepView(file, everything("display"), false));
    EXPECT_FALSE(loadViews(file)->front().TrueScale);
    EXPECT_EQ(std::string::npos, textOf(file).find("TrueScale"));

    // TrueScale may come after the places it speaks of.
    const std::vector<SavedView> read = readViews("[v]\nPosition=149597870.7 0.000001 -1e11\nDirection=0 0 -1\n"
                                                  "Follow=1\nFocus=Earth\nOffset=6378.137 0 0\nTrueScale=1\n");
    ASSERT_EQ(1u, read.size());
    EXPECT_TRUE(read[0].TrueScale);
    EXPECT_EQ((Vector3d{149597870.7, 0.000001, -1e11}), read[0].PositionKm);
    EXPECT_EQ((Vector3d{6378.137, 0.0, 0.0}), read[0].OffsetKm);
}

TEST(ViewsFileTest, AWriteThatCannotBeMadeOrWasCutShortLosesNoView)
{
    const std::string file = writeTempFile("views.cfg", "[a]\nPosition=1 2 3\nDirection=0 0 1\n");
    // A writer that died half way left its copy: it is neither read nor in the way.
    ASSERT_TRUE(writeNewFile(temporaryFileFor(file), "[half]\nPosition=4 5"));
    EXPECT_EQ(1u, loadViews(file)->size());
    ASSERT_EQ(Kept::Added, *keepView(file, everything("b"), false));
    EXPECT_EQ(2u, loadViews(file)->size());
    EXPECT_FALSE(statusOf(temporaryFileFor(file)).exists);

    // No folder to write in: nothing kept, and the reason said; the file as it was.
    const std::string before = textOf(file);
    for (const std::string& nowhere : {file + "/views.cfg", folderOf(file)})
    {
        const Result<Kept> kept = keepView(nowhere, everything("c"), false);
        EXPECT_FALSE(kept.ok()) << nowhere;
        EXPECT_NE("", kept.why());
    }
    EXPECT_EQ(before, textOf(file));
}

// One judge for the checker and the reader: a view the checker calls sound
// is shown, one with an error is left out, and every value the viewer takes
// otherwise than written is a warning that says what it becomes.
// settings: after [v]; kind: the finding expected, or ""; becomes: in its message, or "".
struct ViewRow { const char* name, *settings; bool shown; const char* kind, *becomes; };

const ViewRow viewRows[] = {
    {"Plain", "Position=1 2 3\nDirection=0 0 1\n", true, "", ""},
    {"NoPosition", "Direction=0 0 1\n", false, "missing-key", "left out"},
    {"ZeroDirection", "Position=0 0 0\nDirection=0 0 0\n", false, "bad-direction", "left out"},
    // Its squared length leaves the float range, but it is a direction all the same.
    {"HugeDirection", "Position=0 0 0\nDirection=1e20 0 0\n", true, "", ""},
    {"UpAlongDirection", "Position=0 0 0\nDirection=0 2e-30 0\nUp=0 1 0\n", true, "bad-up", "world's up"},
    {"UpOfNoLength", "Position=0 0 0\nDirection=1e20 1e15 0\nUp=0 0 0\n", true, "bad-up", "world's up"},
    {"RateBeyondTheKeys", "Position=0 0 0\nDirection=0 0 1\nRate=1e30\n", true, "out-of-range", "takes 1024"},
    {"SpeedBeyondAYear", "Position=0 0 0\nDirection=0 0 1\nSpeed=1e300\n", true, "out-of-range", "takes 31557600"},
    {"PositionBeyondTheWorld", "Position=1e38 1e38 1e38\nDirection=0 0 1\n", true, "out-of-range", "takes 1e+18"},
    {"OffsetBeyondTheWorld", "Position=0 0 0\nDirection=0 0 1\nOffset=0 -3e38 0\n", true, "out-of-range",
     "takes -1e+18"},
};

TEST(ViewJudgeTest, TheCheckersWordIsWhatTheViewerShows)
{
    for (const ViewRow& row : viewRows)
    {
        SCOPED_TRACE(row.name);
        const ViewsVerdict verdict = judgeViewsText("views.cfg", std::string("[v]\n") + row.settings, nullptr);
        EXPECT_EQ(row.shown, verdict.views.size() == 1);
        EXPECT_EQ(row.shown, firstError(verdict.problems) == nullptr);
        EXPECT_EQ(verdict.views.size(), readViews(std::string("[v]\n") + row.settings).size());
        ASSERT_EQ(*row.kind ? 1u : 0u, verdict.problems.size());
        if (*row.kind)
        {
            EXPECT_EQ(row.kind, verdict.problems[0].kind);
            EXPECT_NE(std::string::npos, verdict.problems[0].message.find(row.becomes)) << verdict.problems[0].message;
        }
    }
}

TEST(ViewJudgeTest, ValuesAreHeldAsTheWarningsSayAndAViewWithoutAPlaceOrADirectionIsLeftOut)
{
    const std::vector<SavedView> views = readViews(
        "[v]\nPosition=1e38 -2 3\nDirection=1e20 0 0\nRate=0.3\nSpeed=-1e300\n[w]\nPosition=0 0 0\nDirection=0 0 1\n"
        "Rate=-5000\n[a]\nPosition=1 2 3\n[]\nPosition=1 1 1\nDirection=1 0 0\n[b]\nDirection=0 0 1\n[c]\n"
        "Position=0 0 0\nDirection=0 0 0\n[a]\nDirection=0 1 0\n");
    ASSERT_EQ(3u, views.size());
    EXPECT_EQ(Ogre::Vector3(1e18f, -2.0f, 3.0f), views[0].Position);
    EXPECT_EQ(0.3, views[0].Rate);
    EXPECT_EQ(-365.25 * 86400.0, views[0].Speed);
    EXPECT_EQ(-1024.0, views[1].Rate);
    // Looking along +X, as the huge direction says, with the world's up.
    const Ogre::Quaternion turn = viewOrientation(views[0]);
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_X, turn * Ogre::Vector3::NEGATIVE_UNIT_Z, 1e-6f));
    EXPECT_TRUE(vectorsNear(Ogre::Vector3::UNIT_Y, turn * Ogre::Vector3::UNIT_Y, 1e-6f));
    EXPECT_EQ("a", views[2].name);   // its second section gives it a direction
    EXPECT_EQ(Ogre::Vector3(0, 1, 0), views[2].Direction);
}
}
