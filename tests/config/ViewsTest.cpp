// The views file: views read back as they were kept, in the file's order,
// and nothing lost when a write cannot be made or was cut short.

#include "HeadlessEngine.h"
#include "config/Files.h"
#include "config/Views.h"

#include <vector>

namespace
{
std::string textOf(const std::string& path)
{
    std::string text;
    std::string why;
    readWholeFile(path, text, why);
    return text;
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
    return view;
}

TEST(ViewsFileTest, KeptViewsReadBackInTheFilesOrderAndANameIsReplacedOnlyWhenAsked)
{
    const std::string file = writeTempFile("views.cfg", "# my note\n[old]\nPosition=1 2 3\nDirection=0 0 1\n# on b\n");
    std::string why;
    ASSERT_EQ(KeepResult::Added, keepView(file, everything("Earth rise"), false, why)) << why;
    SavedView plain;
    plain.name = "b";
    ASSERT_EQ(KeepResult::Added, keepView(file, plain, false, why)) << why;

    std::vector<SavedView> views;
    ASSERT_TRUE(loadViews(file, views, why)) << why;
    ASSERT_EQ(3u, views.size());
    EXPECT_EQ("old", views[0].name);
    EXPECT_EQ("b", views[2].name);
    const SavedView kept = everything("Earth rise");
    const SavedView& read = views[1];
    EXPECT_EQ(kept.name, read.name);
    EXPECT_EQ(kept.Position, read.Position);
    EXPECT_TRUE(turnsNear(viewOrientation(kept), viewOrientation(read), 1e-4));
    EXPECT_EQ(kept.Focus, read.Focus);
    EXPECT_TRUE(read.Follow);
    EXPECT_EQ(kept.Offset, read.Offset);
    EXPECT_EQ(kept.Rate, read.Rate);
    EXPECT_TRUE(read.Paused && read.dated && read.OrbitLines && read.Names && !read.Statistics);
    EXPECT_NEAR(kept.Date.days, read.Date.days, 0.001 / 86400);   // to the millisecond
    EXPECT_EQ(kept.Speed, read.Speed);
    EXPECT_FALSE(views[2].dated || views[2].Follow || views[0].dated);

    // A name kept already: left as it is unless replacing is asked for, then replaced in its place.
    SavedView moved = kept;
    moved.Position = Ogre::Vector3(5, 5, 5);
    const std::string before = textOf(file);
    EXPECT_EQ(KeepResult::NameTaken, keepView(file, moved, false, why));
    EXPECT_EQ(before, textOf(file));
    EXPECT_EQ(KeepResult::Replaced, keepView(file, moved, true, why));
    ASSERT_TRUE(loadViews(file, views, why));
    ASSERT_EQ(3u, views.size());
    EXPECT_EQ("Earth rise", views[1].name);
    EXPECT_EQ(moved.Position, views[1].Position);
    EXPECT_NE(std::string::npos, textOf(file).find("# my note\n[old]"));
    EXPECT_NE(std::string::npos, textOf(file).find("# on b\n"));
}

TEST(ViewsFileTest, AWriteThatCannotBeMadeOrWasCutShortLosesNoView)
{
    const std::string file = writeTempFile("views.cfg", "[a]\nPosition=1 2 3\nDirection=0 0 1\n");
    // A writer that died half way left its copy: it is neither read nor in the way.
    std::string why;
    ASSERT_TRUE(writeNewFile(temporaryFileFor(file), "[half]\nPosition=4 5", why));
    std::vector<SavedView> views;
    ASSERT_TRUE(loadViews(file, views, why));
    EXPECT_EQ(1u, views.size());
    ASSERT_EQ(KeepResult::Added, keepView(file, everything("b"), false, why)) << why;
    ASSERT_TRUE(loadViews(file, views, why));
    EXPECT_EQ(2u, views.size());
    EXPECT_FALSE(statusOf(temporaryFileFor(file)).exists);

    // No folder to write in: nothing kept, and the reason said; the file as it was.
    const std::string before = textOf(file);
    for (const std::string& nowhere : {file + "/views.cfg", folderOf(file)})
    {
        why.clear();
        EXPECT_EQ(KeepResult::Failed, keepView(nowhere, everything("c"), false, why)) << nowhere;
        EXPECT_NE("", why);
    }
    EXPECT_EQ(before, textOf(file));
}

TEST(ViewsFileTest, AViewWithoutAPlaceOrADirectionIsLeftOut)
{
    const std::vector<SavedView> views = readViews("[a]\nPosition=1 2 3\n[]\nPosition=1 1 1\nDirection=1 0 0\n"
                                                   "[b]\nDirection=0 0 1\n[c]\nPosition=0 0 0\nDirection=0 0 0\n"
                                                   "[d]\nPosition=4 5 6\nDirection=1 0 0\n[a]\nDirection=0 1 0\n");
    ASSERT_EQ(2u, views.size());
    EXPECT_EQ("a", views[0].name);   // its second part gives it a direction
    EXPECT_EQ(Ogre::Vector3(0, 1, 0), views[0].Direction);
    EXPECT_EQ("d", views[1].name);
}
}
