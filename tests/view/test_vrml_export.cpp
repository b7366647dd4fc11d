// The VRML export: exact text, number formatting, and the atomic write.
#include "vxExportFixtures.h"
#include "vxNumberFormat.h"
#include "vxOpenGLView.h"
#include "vxResources.h"
#include "vxTestSupport.h"

#include <cfloat>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <locale>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using vxTest::crlf;

using vxFixture::tri;

std::shared_ptr<vxBaseSceneObject> object(std::vector<vxVertice> triangles)
{
    auto o = std::make_shared<vxBaseSceneObject>();
    o->setVerticesList(std::move(triangles));
    return o;
}

// Every entry in a folder.
std::set<std::string> entries(const std::string& dir)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

std::string printfF(double d)
{
    char buf[512];
    std::snprintf(buf, sizeof buf, "%f", d);
    return buf;
}

std::string ourF(float f)
{
    std::string s;
    vxNumberFormat::appendFixed6(s, f);
    return s;
}

// Switches the C and C++ locales to German (comma as decimal separator)
// for the life of the object.
class GermanLocale {
  public:
    GermanLocale()
    {
        m_old = std::setlocale(LC_ALL, nullptr);
        ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
        if (ok)
            std::locale::global(std::locale("de_DE.UTF-8"));
    }
    ~GermanLocale()
    {
        std::setlocale(LC_ALL, m_old.c_str());
        std::locale::global(std::locale::classic());
    }
    bool ok = false;

  private:
    std::string m_old;
};

class VrmlExport : public ::testing::Test {
  protected:
    vxFixture::NullHost host;
    vxOpenGLView view{host};
    void SetUp() override { view.awakeFromNib(); }
};

} // namespace

TEST_F(VrmlExport, CommaLocaleStillWritesPoints)
{
    auto o = object({tri({0.5f, -1.25f, 3}, {1, 0, 0}, {0, 1, 0})});
    o->colorDiffuse() = vxVector(0.5f, 0.25f, 0.125f);
    view.sceneObjectList().push_back(o);
    const std::string inC = view.vrmlText();

    GermanLocale german;
    ASSERT_TRUE(german.ok) << "the de_DE.UTF-8 locale is missing (scripts/deps.sh generates it)";
    ASSERT_EQ(printfF(0.5), "0,500000"); // the locale is really in force
    EXPECT_EQ(ourF(0.5f), "0.500000");
    std::string shortest;
    vxNumberFormat::appendShortest(shortest, 0.5f);
    EXPECT_EQ(shortest, "0.5");
    EXPECT_EQ(view.vrmlText(), inC);
    EXPECT_NE(inC.find("  diffuseColor 0.500000 0.250000 0.125000\r\n"), std::string::npos);
    EXPECT_EQ(inC.find(','), inC.find("0,1,2,-1,") + 1); // no comma before the index run
}

// --- the text ----------------------------------------------------------------

TEST_F(VrmlExport, EmptyScenesGiveTheHeaderOnly)
{
    const std::string header =
        crlf({"#VRML V1.0 ascii", "#this document was created by Kolbrik viewer for MacOSX"});
    EXPECT_EQ(view.vrmlText(), header);
    view.sceneObjectList().push_back(object({}));
    view.sceneObjectList().push_back(std::make_shared<vxTubeSceneObject>());
    EXPECT_EQ(view.vrmlText(), header);
}

TEST_F(VrmlExport, ObjectWithoutTrianglesThenOneWithTwo)
{
    auto second = object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), tri({1, 0, 0}, {1, 1, 0}, {0, 1, 0})});
    second->colorDiffuse() = vxVector(1.0f, 0.5f, 0.25f);
    second->position().setVector3f(1, 2, 3);
    second->rebuildMatrix();
    view.sceneObjectList() = {object({}), second};

    const std::string expected =
        crlf({"#VRML V1.0 ascii",
              "#this document was created by Kolbrik viewer for MacOSX",
              " TransformSeparator {",
              "DEF MAT_1 Material",
              "{",
              "  ambientColor 0.000000 0.000000 0.000000",
              "  diffuseColor 1.000000 0.500000 0.250000",
              "  specularColor 0.000000 0.000000 0.000000",
              "  emissiveColor 0.000000 0.000000 0.000000",
              "  shininess 0",
              "  transparency 0",
              "}",
              "MatrixTransform ",
              "{ matrix",
              "1.000000 0.000000 0.000000 0.000000",
              "0.000000 1.000000 0.000000 0.000000",
              "0.000000 0.000000 1.000000 0.000000",
              "1.000000 2.000000 3.000000 1.000000",
              "}",
              "Coordinate3",
              "{",
              "  point [",
              "0.000000 0.000000 0.000000 1.000000 0.000000 0.000000 0.000000 1.000000 0.000000",
              "1.000000 0.000000 0.000000 1.000000 1.000000 0.000000 0.000000 1.000000 0.000000",
              "  ]",
              "}",
              "DEF part2 IndexedFaceSet",
              "{",
              "  coordIndex [ ",
              "0,1,2,-1,3,4,5,-1,  ]",
              "}",
              "}"});
    EXPECT_EQ(view.vrmlText(), expected);
}

TEST_F(VrmlExport, NegativeZeroAndOtherColoursAndMatrices)
{
    // Turning a part's Y axis up and its Z axis to -X gives the matrix a
    // -0.0 (0 * -1 - 0 * 0), which prints with its sign.
    auto o =
        object({tri({-0.0f, 1e-7f, -1e-7f}, {0.0078125f, -2.5f, 123456.7890625f}, {-0.0f, -0.0f, -0.0f})});
    o->up().setVector3f(0, 1, 0);
    o->direction().setVector3f(-1, 0, 0);
    o->position().setVector3f(-0.0f, 0.75f, -3.0f);
    o->rebuildMatrix();
    o->colorAmbient() = vxVector(0.2f, 0.0f, 0.0f);
    o->colorDiffuse() = vxVector(-0.0f, 1.0f / 3.0f, 2.0f / 3.0f);
    o->colorEmission() = vxVector(0.0f, 0.0f, 1.0f);
    view.sceneObjectList() = {o};

    const std::string expected =
        crlf({"#VRML V1.0 ascii",
              "#this document was created by Kolbrik viewer for MacOSX",
              " TransformSeparator {",
              "DEF MAT_0 Material",
              "{",
              "  ambientColor 0.200000 0.000000 0.000000",
              "  diffuseColor -0.000000 0.333333 0.666667",
              "  specularColor 0.000000 0.000000 0.000000",
              "  emissiveColor 0.000000 0.000000 1.000000",
              "  shininess 0",
              "  transparency 0",
              "}",
              "MatrixTransform ",
              "{ matrix",
              "0.000000 -0.000000 1.000000 0.000000",
              "0.000000 1.000000 0.000000 0.000000",
              "-1.000000 0.000000 0.000000 0.000000",
              "-0.000000 0.750000 -3.000000 1.000000",
              "}",
              "Coordinate3",
              "{",
              "  point [",
              "-0.000000 0.000000 -0.000000 0.007812 -2.500000 123456.789062 -0.000000 -0.000000 -0.000000",
              "  ]",
              "}",
              "DEF part1 IndexedFaceSet",
              "{",
              "  coordIndex [ ",
              "0,1,2,-1,  ]",
              "}",
              "}"});
    EXPECT_EQ(view.vrmlText(), expected);
}

TEST_F(VrmlExport, NumbersSkipObjectsWithoutTrianglesIgnoreVisibilityAndKeepMeshesShared)
{
    auto a = object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0})});
    auto b = object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}), tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0}),
                     tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0})});
    b->setVisible(0);
    auto tube = std::make_shared<vxTubeSceneObject>();
    tube->colorDiffuse() = vxVector(1, 0, 0);
    auto sharing = std::make_shared<vxBaseSceneObject>(); // a part of a's type
    sharing->setSharedMesh(a->sharedMesh());
    view.sceneObjectList() = {a, object({}), b, tube, sharing};

    const std::string text = view.vrmlText();
    EXPECT_NE(text.find("DEF MAT_0 Material\r\n"), std::string::npos);
    EXPECT_NE(text.find("DEF part1 IndexedFaceSet\r\n"), std::string::npos);
    EXPECT_NE(text.find("DEF MAT_2 Material\r\n"), std::string::npos);
    EXPECT_NE(text.find("DEF part3 IndexedFaceSet\r\n{\r\n  coordIndex [ \r\n0,1,2,-1,3,4,5,-1,6,7,8,-1,  "
                        "]\r\n}\r\n}\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("MAT_1"), std::string::npos);
    EXPECT_EQ(text.find("MAT_3"), std::string::npos);
    EXPECT_EQ(text.find("part2"), std::string::npos);
    EXPECT_NE(text.find("DEF part5 IndexedFaceSet"), std::string::npos);
    EXPECT_EQ(sharing->sharedMesh(), a->sharedMesh()); // reading did not unshare it
    // The file ends with the last block (no closing line); every line ends
    // in CR LF.
    EXPECT_TRUE(text.ends_with("0,1,2,-1,  ]\r\n}\r\n}\r\n"));
    std::string bare = text;
    for (std::size_t p; (p = bare.find("\r\n")) != std::string::npos;)
        bare.erase(p, 2);
    EXPECT_EQ(bare.find_first_of("\r\n"), std::string::npos);
}

TEST_F(VrmlExport, SharedMeshesWriteWhatPrivateCopiesWrite)
{
    // The text of a shared mesh is made once and repeated for every object
    // that shares it.
    auto a = object({tri({0.5f, 0, 0}, {1, 0, 0}, {0, 1, 0}), tri({1, 0, 0}, {1, 1, 0}, {0, 1, -0.25f})});
    std::vector<std::shared_ptr<vxBaseSceneObject>> shared = {a},
                                                    copies = {object(std::as_const(*a).verticesList())};
    for (int i = 1; i < 4; ++i) {
        auto s = std::make_shared<vxBaseSceneObject>();
        s->setSharedMesh(a->sharedMesh());
        s->position().setVector3f(static_cast<float>(i), 0, 0);
        s->rebuildMatrix();
        shared.push_back(s);
        auto c = object(std::as_const(*a).verticesList());
        c->setLocalMatrix(s->localMatrix());
        copies.push_back(c);
    }
    view.sceneObjectList() = shared;
    const std::string text = view.vrmlText();
    view.sceneObjectList() = copies;
    EXPECT_EQ(text, view.vrmlText());
    EXPECT_NE(text.find("DEF part4 IndexedFaceSet\r\n{\r\n  coordIndex [ \r\n0,1,2,-1,3,4,5,-1,  ]"),
              std::string::npos);
}

TEST_F(VrmlExport, WritesAndReplacesTheFileAndKeepsItsPermissions)
{
    vxTest::TempDir dir;
    view.sceneObjectList() = {object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0})})};
    const std::string target = dir.file("out.wrl");

    ASSERT_TRUE(view.exportAsVRML(target));
    EXPECT_EQ(vxTest::readFile(target), view.vrmlText());
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 07777, 0666 & ~mask);

    vxTest::writeFile(target, std::string(100000, 'x'));
    ::chmod(target.c_str(), 0640);
    view.sceneObjectList().push_back(object({tri({0, 0, 0}, {2, 0, 0}, {0, 2, 0})}));
    const vxWriteResult r = view.exportAsVRML(target);
    ASSERT_TRUE(r) << r.error;
    EXPECT_EQ(vxTest::readFile(target), view.vrmlText()); // replaced, not overwritten in place
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"out.wrl"});

    // A name without a folder goes to the working folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(view.exportAsVRML("plain.wrl"));
    std::filesystem::current_path(cwd);
    EXPECT_EQ(vxTest::readFile(dir.file("plain.wrl")), view.vrmlText());
}

TEST_F(VrmlExport, FailedWritesReportTheReasonAndLeaveNothingBehind)
{
    // Tests run as root, so permission bits stop nothing; these failures
    // stop root as well.
    vxTest::TempDir dir;
    view.sceneObjectList() = {object({tri({0, 0, 0}, {1, 0, 0}, {0, 1, 0})})};
    vxTest::writeFile(dir.file("plain-file"), "keep me");
    std::filesystem::create_directory(dir.file("a-folder.wrl"));
    vxTest::writeFile(dir.file("a-folder.wrl/inside"), "inside");
    const auto before = entries(dir.path());

    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {dir.file("missing/out.wrl"), "No such file or directory"},
        {dir.file("plain-file/out.wrl"), "Not a directory"},
        {dir.file("a-folder.wrl"), "Is a directory"},
        {"", "no file name given"},
    };
    for (const auto& c : cases) {
        const vxWriteResult r = view.exportAsVRML(c.path);
        EXPECT_FALSE(r) << c.path;
        EXPECT_NE(r.error.find(c.path), std::string::npos) << r.error;
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos);
    }
    EXPECT_EQ(entries(dir.path()), before);
    EXPECT_EQ(vxTest::readFile(dir.file("plain-file")), "keep me");
    EXPECT_EQ(entries(dir.file("a-folder.wrl")), std::set<std::string>{"inside"});
}

TEST_F(VrmlExport, AWriteThatFailsMidwayLeavesTheOldFile)
{
    // The file-size limit makes write() fail part way, as a full disk does.
    vxTest::TempDir dir;
    std::vector<vxVertice> many(2000, tri({1, 2, 3}, {4, 5, 6}, {7, 8, 9}));
    view.sceneObjectList() = {object(std::move(many))};
    const std::string target = dir.file("out.wrl");
    vxTest::writeFile(target, "the old export");

    struct rlimit old;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const vxWriteResult r = view.exportAsVRML(target);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(r);
    EXPECT_NE(r.error.find(std::strerror(EFBIG)), std::string::npos) << r.error;
    EXPECT_EQ(vxTest::readFile(target), "the old export");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"out.wrl"});
}
