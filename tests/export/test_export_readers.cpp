// Other programs read our exports of every library model, and of a model
// with the odd cases (a sheared and a scaled placement, names that need
// escaping, a part without mesh, a tube, no parts at all): the Khronos glTF
// validator finds nothing to report, Assimp finds our triangles and our
// bounding box, admesh finds every part closed and our normals right.
#include "vxExport.h"
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

namespace {

const std::string kResources = KOLBRIK_RESOURCE_DIR;

using vxFixture::Box;

// A model loaded as the viewer loads it.
struct Model {
    std::string name; // for file names and messages
    vxHeadlessHost host;
    vxOpenGLView view{host};

    Model(std::string n, const std::string& file, const std::string& resources) : name(std::move(n))
    {
        view.awakeFromNib();
        vxTest::ResourceFolder folder(resources);
        EXPECT_TRUE(view.loadModelFromFile(file)) << file;
    }
    // Our triangles and bounding box in model units (centimetres).
    Box box() const
    {
        Box b;
        for (const auto& part : view.model()->partList())
            vxFixture::addPlaced(b, *part->baseSceneObject());
        return b;
    }
    std::string exportTo(const vxTest::TempDir& dir, vxExportFormat format) const
    {
        const std::string path = dir.file(name + "." + std::string(vxExportExtension(format)));
        const vxWriteResult r = vxExportModel(view, path, format);
        EXPECT_TRUE(r) << r.error;
        return path;
    }
};

// Every library model, then the odd cases written into dir.
std::vector<std::unique_ptr<Model>> models(const vxTest::TempDir& dir)
{
    std::vector<std::unique_ptr<Model>> list;
    const std::vector<std::string> files = vxTest::libraryModels(kResources);
    EXPECT_EQ(files.size(), 24u) << "the build makes the model library";
    for (const std::string& f : files) {
        std::string name = f.substr(kResources.size() + 9, f.size() - kResources.size() - 13);
        std::replace(name.begin(), name.end(), '/', '-');
        list.push_back(std::make_unique<Model>(name, f, kResources));
    }

    const std::string res = dir.file("res");
    vxFixture::writeResources(res);
    vxTest::writeFile(
        res + "/odd.kmf",
        vxTest::kmfFile({0, 0, -50}, {0, 0, 0},
                        {{"K90001_sheared \"q\" \\ \x01\t\xC4", {0, 0, 0}, {0, 1, 0}, {0, 0.5f, 1}},
                         {"K90002_scaled", {5, 1, 0}, {0, 2, 0}, {0, 0, 2}, 0x123456, 0},
                         {"K00000_no mesh", {9, 0, 0}},
                         {"K90003_turned", {-4, 2, 3}, {1, 0, 0}, {0, 1, 0}, 0x00ff00, 7}},
                        {0xff}) +
            "[COMMON]\r\nINFMODELL=odd \"cases\"\r\n");
    vxTest::writeFile(res + "/single.kmf", vxTest::kmfFile({0, 0, -50}, {0, 0, 0}, {{"K90002_hub"}}));
    vxTest::writeFile(res + "/empty.kmf", vxTest::kmfFile({0, 0, -50}, {0, 0, 0}, {}));
    for (const char* name : {"odd", "single", "empty"})
        list.push_back(std::make_unique<Model>(name, res + "/" + name + ".kmf", res));
    return list;
}

Box readWithAssimp(const std::string& path)
{
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, 0);
    EXPECT_NE(scene, nullptr) << path << ": " << importer.GetErrorString();
    Box b;
    if (!scene)
        return b;
    auto walk = [&](auto& self, const aiNode* node, const aiMatrix4x4& parent) -> void {
        const aiMatrix4x4 m = parent * node->mTransformation;
        for (unsigned i = 0; i < node->mNumMeshes; ++i) {
            const aiMesh* mesh = scene->mMeshes[node->mMeshes[i]];
            for (unsigned f = 0; f < mesh->mNumFaces; ++f)
                b.triangles += mesh->mFaces[f].mNumIndices == 3;
            for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
                const aiVector3D p = m * mesh->mVertices[v];
                b.add(p.x, p.y, p.z);
            }
        }
        for (unsigned c = 0; c < node->mNumChildren; ++c)
            self(self, node->mChildren[c], m);
    };
    walk(walk, scene->mRootNode, aiMatrix4x4());
    return b;
}

} // namespace

TEST(Readers, TheGltfValidatorReportsNothing)
{
    vxTest::TempDir dir;
    std::string files;
    for (const auto& m : models(dir))
        for (vxExportFormat f : {vxExportFormat::kGlb, vxExportFormat::kGltf})
            files += " '" + m->exportTo(dir, f) + "'";
    ASSERT_TRUE(std::filesystem::exists(KOLBRIK_GLTF_VALIDATOR "/package.json"))
        << "the glTF validator is missing: run scripts/deps.sh";
    const auto r = vxTest::runCommand("node " KOLBRIK_VALIDATE_SCRIPT " " KOLBRIK_GLTF_VALIDATOR + files);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2 * 27) << r.out; // one line per file
}

TEST(Readers, AssimpFindsOurTrianglesAndBoundingBox)
{
    vxTest::TempDir dir;
    for (const auto& m : models(dir)) {
        const Box ours = m->box();
        const struct {
            vxExportFormat format;
            double unit; // of the format, in centimetres
        } formats[] = {{vxExportFormat::kGlb, 0.01}, {vxExportFormat::kStl, 10}, {vxExportFormat::kObj, 10}};
        for (const auto& f : formats) {
            const std::string path = m->exportTo(dir, f.format);
            if (ours.triangles == 0)
                continue; // nothing that a reader could find
            const Box read = readWithAssimp(path);
            SCOPED_TRACE(path);
            EXPECT_EQ(read.triangles, ours.triangles);
            double size = 0;
            for (int a = 0; a < 3; ++a)
                size = std::max(size, (ours.max[a] - ours.min[a]) * f.unit);
            for (int a = 0; a < 3; ++a) {
                EXPECT_NEAR(read.min[a], ours.min[a] * f.unit, 1e-4 * size) << a;
                EXPECT_NEAR(read.max[a], ours.max[a] * f.unit, 1e-4 * size) << a;
            }
            std::filesystem::remove(path);
        }
    }
}

TEST(Readers, AdmeshFindsEveryPartClosedAndOurNormalsRight)
{
    vxTest::TempDir dir;
    for (const auto& m : models(dir)) {
        const auto triangles = static_cast<long long>(m->box().triangles);
        if (triangles == 0)
            continue;
        const std::string path = m->exportTo(dir, vxExportFormat::kStl);
        // The part without mesh is not among the odd model's parts.
        const long long parts = m->name == "single" ? 1 : m->name == "odd" ? 3 : -1;
        EXPECT_EQ(vxTest::admeshDiffers(path, {{"Number of facets", triangles},
                                               {"Total disconnected facets", 0},
                                               {"Backwards edges", 0},
                                               {"Facets reversed", 0},
                                               {"Normals fixed", 0},
                                               {"Degenerate facets", 0},
                                               {"Number of parts", parts}}),
                  "")
            << path;
        std::filesystem::remove(path);
    }
}
