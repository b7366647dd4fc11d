#include "vxBookletPage.h"

#include "vxBaseSceneObject.h"
#include "vxBooklet.h"
#include "vxBookletPageFiles.h"
#include "vxExport.h"
#include "vxExportScene.h"
#include "vxModel.h"
#include "vxPhaseHighlight.h"
#include "vxTubeSurface.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QPageSize>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// The glb's root node scales the model's centimetres to metres.
constexpr double kGlbUnit = 0.01;
// Part pictures in the page, pixels square.
constexpr int kPartPicturePixels = 96;
// The new parts' own colour added this much as light of their own, so
// that they are brighter than the earlier parts as in the booklet.
constexpr double kNewPartLight = 0.25;
// The resolution the PDF booklet is laid out at.
constexpr int kPaperDpi = 300;

QString hexColour(const vxVector& c)
{
    auto byte = [](float v) { return std::clamp(static_cast<int>(std::lround(v * 255.0f)), 0, 255); };
    return QStringLiteral("#%1%2%3")
        .arg(byte(c.x()), 2, 16, QLatin1Char('0'))
        .arg(byte(c.y()), 2, 16, QLatin1Char('0'))
        .arg(byte(c.z()), 2, 16, QLatin1Char('0'));
}

QJsonArray vectorJson(const vxVector& v)
{
    return {v.x(), v.y(), v.z()};
}

QJsonObject colourNameJson(const vxColorName& name)
{
    return {{"en", QString::fromUtf8(name.english)}, {"de", QString::fromUtf8(name.german)}};
}

// JSON that may stand inside a <script> element: "<" (so no "</script>"
// nor "<!--"), ">" and "&" are written as escapes. Outside strings, JSON
// has none of them.
std::string scriptJson(const QJsonObject& object)
{
    const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    std::string out;
    out.reserve(static_cast<std::size_t>(json.size()) + 64);
    for (char c : json) {
        if (c == '<')
            out += "\\u003c";
        else if (c == '>')
            out += "\\u003e";
        else if (c == '&')
            out += "\\u0026";
        else
            out += c;
    }
    return out;
}

// Script text with every "</" made "<\/", which means the same in
// JavaScript strings and regular expressions and cannot end the element.
std::string scriptText(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        out += s[i];
        if (s[i] == '<' && i + 1 < s.size() && s[i + 1] == '/')
            out += '\\';
    }
    return out;
}

// The tubes of the pictures' scene, their surfaces made.
std::vector<std::shared_ptr<vxTubeSceneObject>> tubeObjects(const vxExportSource& source)
{
    std::vector<std::shared_ptr<vxTubeSceneObject>> tubes;
    for (const auto& object : source.objects)
        if (auto tube = std::dynamic_pointer_cast<vxTubeSceneObject>(object))
            tubes.push_back(std::move(tube));
    vxMakeTubeSurfaces(tubes);
    return tubes;
}

// The model as the glb exporter writes it, with every part and tube.
std::optional<QByteArray> glbOf(vxBookletPictures& pictures, std::string* error)
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        *error = "cannot make a temporary folder: " + dir.errorString().toStdString();
        return std::nullopt;
    }
    const std::string path = dir.filePath(QStringLiteral("model.glb")).toStdString();
    vxExportOptions options;
    options.tubes = true;
    if (const vxWriteResult w = vxExportModel(pictures.exportSource(), path, vxExportFormat::kGlb, options);
        !w) {
        *error = w.error;
        return std::nullopt;
    }
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = "cannot read " + path + ": " + file.errorString().toStdString();
        return std::nullopt;
    }
    return file.readAll();
}

// Fills the page template: each @@NAME@@ place takes its value once; the
// values themselves are not searched.
std::string fillTemplate(std::string_view page, const std::map<std::string, std::string_view>& values)
{
    std::string out;
    std::size_t size = page.size();
    for (const auto& [name, value] : values)
        size += value.size();
    out.reserve(size);
    std::size_t at = 0;
    while (at < page.size()) {
        const std::size_t open = page.find("@@", at);
        const std::size_t close = open == std::string_view::npos ? open : page.find("@@", open + 2);
        if (close == std::string_view::npos) {
            out.append(page.substr(at));
            break;
        }
        const auto it = values.find(std::string(page.substr(open + 2, close - open - 2)));
        if (it == values.end()) {
            out.append(page.substr(at, close - at));
            at = close;
            continue;
        }
        out.append(page.substr(at, open - at));
        out.append(it->second);
        at = close + 2;
    }
    return out;
}

} // namespace

std::string vxBookletPage::text(vxBookletPictures& pictures, const QString& title, Result* result)
{
    const vxModel& model = pictures.model();
    // The step model of the A4 booklet, its views and all: the page shows
    // the steps and views the printed instructions have.
    vxBooklet booklet(pictures, title);
    const QSize a4 = QPageSize(QPageSize::A4).sizePixels(kPaperDpi);
    booklet.layOut(QSizeF(a4.width() * 25.4 / kPaperDpi, a4.height() * 25.4 / kPaperDpi));
    const vxBookletSteps& steps = booklet.stepModel();
    result->steps = static_cast<int>(steps.steps.size());

    std::string error;
    const std::optional<QByteArray> glb = glbOf(pictures, &error);
    if (!glb) {
        result->written = {false, error};
        return {};
    }

    // Part pictures, one per part type and colour, shared by the callouts
    // and the parts list.
    QJsonArray pictureUris;
    std::map<std::pair<std::string, QString>, int> pictureIndex;
    auto entryJson = [&](const vxPartsListEntry& e) {
        const QString colour = hexColour(e.color);
        const auto key = std::make_pair(e.shortName, colour);
        auto it = pictureIndex.find(key);
        if (it == pictureIndex.end()) {
            QString uri;
            const QImage image = pictures.partPicture(e, kPartPicturePixels);
            if (!image.isNull()) {
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                image.save(&buffer, "PNG");
                uri = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
            }
            pictureUris.append(uri);
            it = pictureIndex.emplace(key, static_cast<int>(pictureUris.size()) - 1).first;
        }
        return QJsonObject{{"count", e.count},
                           {"name", QString::fromStdString(e.name)},
                           {"number", QString::fromStdString(e.number)},
                           {"colour", colour},
                           {"colourName", colourNameJson(e.colorName)},
                           {"picture", it->second}};
    };
    // Types not in the catalogue have no mesh: the page leaves them out
    // and says so.
    auto entriesJson = [&](const std::vector<vxPartsListEntry>& entries) {
        QJsonArray out;
        for (const vxPartsListEntry& e : entries)
            if (e.found)
                out.append(entryJson(e));
        return out;
    };
    // Cables and ropes: no picture (the page draws a cable in their
    // colour), their length as name and their thickness, as the booklet
    // lists them.
    auto tubesJson = [&](const std::vector<vxBookletTubeEntry>& entries) {
        QJsonArray out;
        for (const vxBookletTubeEntry& e : entries) {
            const vxPartsListEntry row = vxBooklet::tubeRow(e);
            out.append(QJsonObject{{"count", e.count},
                                   {"name", QString::fromStdString(row.name)},
                                   {"number", QString::fromStdString(row.number)},
                                   {"colour", hexColour(e.color)},
                                   {"colourName", colourNameJson(e.colorName)},
                                   {"picture", -1}});
        }
        return out;
    };
    int known = 0, kinds = 0;
    for (const vxPartsListEntry& e : steps.partsList) {
        if (e.found) {
            known += e.count;
            ++kinds;
            continue;
        }
        result->findings.push_back(std::to_string(e.count) + " × " + e.shortName + " (" + e.name +
                                   "): not in the catalogue, left out of the page");
    }

    QJsonArray stepsJson;
    auto indices = [](const std::vector<std::size_t>& list) {
        QJsonArray out;
        for (std::size_t i : list)
            out.append(static_cast<qint64>(i));
        return out;
    };
    for (const vxBookletStep& step : steps.steps) {
        const vxBookletRender& r = step.pictures.front().render;
        // Parts no view shows are shown through the earlier ones in one of
        // the step's pictures: the page's model does so for the step.
        const bool seeThrough = std::any_of(step.pictures.begin(), step.pictures.end(),
                                            [](const vxBookletPicture& p) { return p.render.seeThrough; });
        stepsJson.append(QJsonObject{
            {"number", step.number},
            {"phase", static_cast<qint64>(step.phase)},
            {"parts", indices(step.parts)},
            {"tubes", indices(step.tubes)},
            {"callouts", entriesJson(step.callouts)},
            {"tubeCallouts", tubesJson(step.tubeCallouts)},
            {"turn", std::round(step.turnDegrees)},
            {"turnOver", step.turnOver},
            {"seeThrough", seeThrough},
            {"camera", QJsonObject{{"eye", vectorJson(r.eye)},
                                   {"target", vectorJson(r.target)},
                                   {"up", vectorJson(r.up)},
                                   {"fov", r.fieldOfView},
                                   {"aspect", static_cast<double>(r.width) / std::max(r.height, 1)}}}});
    }
    // The nodes of the glb after its root, in its order: the parts, then
    // the tubes, each given by its index in the model's list.
    QJsonArray nodes, tubeNodes;
    const vxExportSource source = pictures.exportSource();
    for (const vxExport::Part& part : vxExport::collect(model, std::nullopt, tubeObjects(source)).parts)
        (part.part ? nodes : tubeNodes).append(static_cast<qint64>(part.number) - 1);

    const int stepCount = static_cast<int>(steps.steps.size());
    const QJsonObject texts{
        {"previous", tr("Previous")},
        {"next", tr("Next")},
        {"stepView", tr("View of this step")},
        {"turn", tr("Turn the model by %1°")},
        {"turnOver", tr("Turn the model over")},
        {"stepOf", tr("Step %1 of %2")},
        {"stepParts", tr("Parts for step %1")},
        {"step", tr("Step")},
        {"partsList", QCoreApplication::translate("vxBooklet", "Parts list")},
        {"loading", tr("Loading the model…")},
        {"noWebGL", tr("This browser cannot show the model in 3D (WebGL is not available).")},
        {"cannotShow", tr("The model cannot be shown.")},
    };
    const QJsonObject data{
        {"title", title},
        {"summary", vxBooklet::stepsText(stepCount) + QStringLiteral(", ") + vxBooklet::partsText(known)},
        {"total", QCoreApplication::translate("vxBooklet", "In total: %1 of %2")
                      .arg(vxBooklet::partsText(known), vxBooklet::kindsText(kinds))},
        {"unit", kGlbUnit},
        // Earlier parts held back as the booklet's pictures hold them.
        {"look", QJsonObject{{"grey", vxPhaseHighlight::kGrey},
                             {"greyFraction", vxPhaseHighlight::kGreyFraction},
                             {"newLight", kNewPartLight}}},
        {"texts", texts},
        {"steps", stepsJson},
        {"partsList", entriesJson(steps.partsList)},
        {"tubeList", tubesJson(steps.tubeList)},
        {"pictures", pictureUris},
        {"nodes", nodes},
        {"tubeNodes", tubeNodes},
    };

    const std::string json = scriptJson(data);
    const QByteArray glbText = glb->toBase64();
    const std::string titleHtml = title.toHtmlEscaped().toStdString();
    const std::string language = QLocale().language() == QLocale::German ? "de" : "en";
    const std::string count = std::to_string(stepCount);
    const std::string three = scriptText(vxBookletPageFiles::three());
    const std::string loader = scriptText(vxBookletPageFiles::gltfLoader());
    const std::string controls = scriptText(vxBookletPageFiles::orbitControls());
    const std::string licence = scriptText(vxBookletPageFiles::threeLicence());
    return fillTemplate(
        vxBookletPageFiles::pageTemplate(),
        {{"LANG", language},
         {"TITLE", titleHtml},
         {"STEP_COUNT", count},
         {"DATA", json},
         {"GLB", std::string_view(glbText.constData(), static_cast<std::size_t>(glbText.size()))},
         {"THREE_LICENCE", licence},
         {"THREE", three},
         {"GLTF_LOADER", loader},
         {"ORBIT_CONTROLS", controls}});
}

vxBookletPage::Result vxBookletPage::write(vxBookletPictures& pictures, const QString& title,
                                           const std::string& path)
{
    Result result;
    const std::string page = text(pictures, title, &result);
    if (!result.written)
        return result;
    result.written = vxWriteFileAtomically(path, page);
    return result;
}
