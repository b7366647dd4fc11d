// Other programs read our exports of every library model, and of a model
// with the odd cases (a sheared and a scaled placement, names that need
// escaping, a part without mesh, a tube, no parts at all): the Khronos glTF
// validator finds nothing to report; Assimp finds our triangles and our
// bounding box in glTF, STL and OBJ; admesh finds every part closed and our
// normals right; Coin, a VRML 1.0 reader we did not write, finds each part
// with its triangles, colour and place.
#include "vxExport.h"
#include "vxExportFixtures.h"
#include "vxOpenGLView.h"
#include "vxTestResources.h"
#include "vxTestSupport.h"

#include <Inventor/SoDB.h>
#include <Inventor/SoInput.h>
#include <Inventor/SoPrimitiveVertex.h>
#include <Inventor/actions/SoCallbackAction.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoShape.h>
#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <map>

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
        const vxWriteResult r = vxExportModel(view.exportSource(), path, format);
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

// One shape as seen by a reader.
struct Shape {
    long triangles = 0;
    float diffuse[3] = {0, 0, 0};
    vxFixture::Box box; // of the corners in world space
};

// What a reader saw: shapes by node name, all triangles.
struct Reading {
    bool vrml1 = false;
    std::map<std::string, Shape> shapes;
    long triangles = 0;
};

void onTriangle(void* data, SoCallbackAction* action, const SoPrimitiveVertex* a, const SoPrimitiveVertex* b,
                const SoPrimitiveVertex* c)
{
    auto* reading = static_cast<Reading*>(data);
    Shape& shape = reading->shapes[action->getCurPathTail()->getName().getString()];
    ++shape.triangles;
    ++shape.box.triangles;
    ++reading->triangles;
    SbColor ambient, diffuse, specular, emission;
    float shininess, transparency;
    action->getMaterial(ambient, diffuse, specular, emission, shininess, transparency);
    for (int k = 0; k < 3; ++k)
        shape.diffuse[k] = diffuse[k];
    const SbMatrix& m = action->getModelMatrix();
    for (const SoPrimitiveVertex* v : {a, b, c}) {
        SbVec3f world;
        m.multVecMatrix(v->getPoint(), world);
        shape.box.add(world[0], world[1], world[2]);
    }
}

Reading readWithCoin(SoInput& in)
{
    Reading r;
    SoSeparator* root = SoDB::readAll(&in);
    if (!root)
        return r;
    root->ref();
    r.vrml1 = in.isFileVRML1();
    SoCallbackAction triangles;
    triangles.addTriangleCallback(SoShape::getClassTypeId(), onTriangle, &r);
    triangles.apply(root);
    root->unref();
    return r;
}

Reading readFileWithCoin(const std::string& path)
{
    SoInput in;
    if (!in.openFile(path.c_str()))
        return {};
    return readWithCoin(in);
}

// The same, from our scene: corners moved by each object's placement
// matrix as points (w = 1).
Reading fromScene(const vxOpenGLView& view)
{
    Reading r;
    r.vrml1 = true;
    const auto& list = view.sceneObjectList();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const vxBaseSceneObject& o = *list[i];
        if (o.verticesList().empty())
            continue;
        Shape& shape = r.shapes["part" + std::to_string(i + 1)];
        shape.diffuse[0] = o.colorDiffuse().x();
        shape.diffuse[1] = o.colorDiffuse().y();
        shape.diffuse[2] = o.colorDiffuse().z();
        vxFixture::addPlaced(shape.box, o);
        shape.triangles = static_cast<long>(shape.box.triangles);
        r.triangles += shape.triangles;
    }
    return r;
}

// Six decimals in the file and float arithmetic on both sides.
void expectNear(double ours, double theirs, const std::string& what)
{
    EXPECT_NEAR(ours, theirs, 2e-5 * std::max(1.0, std::fabs(ours))) << what;
}

void expectSame(const Reading& ours, const Reading& coin)
{
    ASSERT_TRUE(coin.vrml1) << "Coin did not read the text as VRML 1.0";
    EXPECT_EQ(coin.triangles, ours.triangles);
    ASSERT_EQ(coin.shapes.size(), ours.shapes.size());
    for (const auto& [name, s] : ours.shapes) {
        ASSERT_TRUE(coin.shapes.count(name)) << name;
        const Shape& c = coin.shapes.at(name);
        EXPECT_EQ(c.triangles, s.triangles) << name;
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(c.diffuse[k], s.diffuse[k], 1e-6) << name;
            expectNear(s.box.min[k], c.box.min[k], name + " min");
            expectNear(s.box.max[k], c.box.max[k], name + " max");
        }
    }
}

} // namespace

// Every model is read by every reader: one pass, so that each is loaded once.
TEST(Readers, EveryReaderFindsWhatOurSceneHolds)
{
    SoDB::init();
    vxTest::TempDir dir;
    std::string gltfFiles;
    for (const auto& m : models(dir)) {
        SCOPED_TRACE(m->name);
        for (vxExportFormat f : {vxExportFormat::kGlb, vxExportFormat::kGltf})
            gltfFiles += " '" + m->exportTo(dir, f) + "'";
        const Box ours = m->box();
        if (ours.triangles == 0)
            continue; // nothing that a reader could find
        const struct {
            vxExportFormat format;
            double unit; // of the format, in centimetres
        } formats[] = {{vxExportFormat::kGlb, 0.01}, {vxExportFormat::kStl, 10}, {vxExportFormat::kObj, 10}};
        for (const auto& f : formats) {
            const std::string path = m->exportTo(dir, f.format);
            const Box read = readWithAssimp(path);
            SCOPED_TRACE(path);
            EXPECT_EQ(read.triangles, ours.triangles);
            // The STL stands z up: the model's (x, y, z) is at (-x, z, y).
            Box expected = ours;
            if (f.format == vxExportFormat::kStl) {
                expected.min[0] = -ours.max[0];
                expected.max[0] = -ours.min[0];
                std::swap(expected.min[1], expected.min[2]);
                std::swap(expected.max[1], expected.max[2]);
            }
            double size = 0;
            for (int a = 0; a < 3; ++a)
                size = std::max(size, (ours.max[a] - ours.min[a]) * f.unit);
            for (int a = 0; a < 3; ++a) {
                EXPECT_NEAR(read.min[a], expected.min[a] * f.unit, 1e-4 * size) << a;
                EXPECT_NEAR(read.max[a], expected.max[a] * f.unit, 1e-4 * size) << a;
            }
            // The part without mesh is not among the odd model's parts.
            const long long parts = m->name == "single" ? 1 : m->name == "odd" ? 3 : -1;
            if (f.format == vxExportFormat::kStl) {
                EXPECT_EQ(
                    vxTest::admeshDiffers(path, {{"Number of facets", static_cast<long long>(ours.triangles)},
                                                 {"Total disconnected facets", 0},
                                                 {"Backwards edges", 0},
                                                 {"Facets reversed", 0},
                                                 {"Normals fixed", 0},
                                                 {"Degenerate facets", 0},
                                                 {"Number of parts", parts}}),
                    "");
            }
            if (f.format != vxExportFormat::kGlb) // for the validator
                std::filesystem::remove(path);
        }
        const std::string wrl = m->exportTo(dir, vxExportFormat::kVrml);
        expectSame(fromScene(m->view), readFileWithCoin(wrl));
        std::filesystem::remove(wrl);
    }
    // Parts whose corners would overflow, or that have no area, are left
    // out: the glTF files stay valid, and the STL holds the one good part.
    {
        const std::string res = dir.file("res");
        vxTest::writeFile(res + "/far.kmf",
                          vxTest::kmfFile({0, 0, -50}, {0, 0, 0},
                                          {{"K90001_good"},
                                           {"K90001_far", {1e38f, 0, 0}},
                                           {"K90002_skewed", {0, 0, 0}, {0, 1, 0}, {0, 3.4028234e38f, 1}},
                                           {"K90001_point", {1, 0, 0}, {0, 0, 0}, {0, 0, 0}}}));
        const Model far("far", res + "/far.kmf", res);
        for (vxExportFormat f : {vxExportFormat::kGlb, vxExportFormat::kGltf})
            gltfFiles += " '" + far.exportTo(dir, f) + "'";
        EXPECT_EQ(vxTest::admeshDiffers(
                      far.exportTo(dir, vxExportFormat::kStl),
                      {{"Number of facets", 12}, {"Degenerate facets", 0}, {"Number of parts", 1}}),
                  "");
    }
    ASSERT_TRUE(std::filesystem::exists(KOLBRIK_GLTF_VALIDATOR "/package.json"))
        << "the glTF validator is missing: run scripts/deps.sh";
    const auto r = vxTest::runCommand("node " KOLBRIK_VALIDATE_SCRIPT " " KOLBRIK_GLTF_VALIDATOR + gltfFiles);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2 * 28) << r.out; // one line per file
}
