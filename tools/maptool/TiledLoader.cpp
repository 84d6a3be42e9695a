#include "TiledLoader.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QXmlStreamReader>

#include <libtiled/grouplayer.h>
#include <libtiled/imagelayer.h>
#include <libtiled/map.h>
#include <libtiled/mapobject.h>
#include <libtiled/mapreader.h>
#include <libtiled/maprenderer.h>
#include <libtiled/objectgroup.h>
#include <libtiled/objecttemplate.h>
#include <libtiled/objecttemplateformat.h>
#include <libtiled/pluginmanager.h>
#include <libtiled/properties.h>
#include <libtiled/tilelayer.h>
#include <libtiled/tileset.h>
#include <libtiled/tilesetformat.h>
#include <libtiled/varianttomapconverter.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace {

struct Failure {
    std::string message;
};

[[noreturn]] void fail(const std::string& message) {
    throw Failure{message};
}

std::string text(const QString& s) {
    return s.toStdString();
}

std::string quoted(const QString& s) {
    return "\"" + text(s) + "\"";
}

// Tiled's messages may span lines; ours are one.
std::string oneLine(const QString& message) {
    return text(message.simplified());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot be read: " + text(file.errorString()));
    return file.readAll();
}

// JSON as the variants Tiled's converter reads. Parsed with our JSON library rather than Qt's,
// whose parser loses memory on some malformed documents; nesting is bounded, as Qt's is.
constexpr int deepestJson = 256;

QVariant variantOf(const nlohmann::json& value, int depth) {
    if (depth > deepestJson)
        throw std::runtime_error("nested deeper than " + std::to_string(deepestJson) + " levels");
    switch (value.type()) {
    case nlohmann::json::value_t::object: {
        QVariantMap map;
        for (const auto& [key, item] : value.items())
            map.insert(QString::fromStdString(key), variantOf(item, depth + 1));
        return map;
    }
    case nlohmann::json::value_t::array: {
        QVariantList list;
        for (const auto& item : value)
            list.append(variantOf(item, depth + 1));
        return list;
    }
    case nlohmann::json::value_t::string:
        return QString::fromStdString(value.get<std::string>());
    case nlohmann::json::value_t::boolean:
        return value.get<bool>();
    case nlohmann::json::value_t::number_integer:
        return static_cast<qlonglong>(value.get<std::int64_t>());
    case nlohmann::json::value_t::number_unsigned:
        return static_cast<qulonglong>(value.get<std::uint64_t>());
    case nlohmann::json::value_t::number_float:
        return value.get<double>();
    default:
        return {};
    }
}

// False with the reason when the bytes are not JSON.
bool parseJson(const QByteArray& bytes, QVariant& out, std::string& error) {
    try {
        out = variantOf(nlohmann::json::parse(bytes.begin(), bytes.end()), 0);
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

QVariant jsonOf(const QByteArray& bytes) {
    QVariant value;
    std::string error;
    if (!parseJson(bytes, value, error))
        fail("not JSON: " + error);
    return value;
}

// Our own bound on sizes, checked before Tiled's reader makes room for the cells: no map,
// layer or chunk may span more cells than a layer may have here.
// Data for no cells at all makes Tiled's reader wait for ever on a compressed stream; cells
// are refused when there are none.
void checkCells(const std::string& what, double width, double height, bool holdsCells) {
    const bool none = holdsCells && !(width >= 1 && height >= 1);
    if (none || width < 0 || height < 0 ||
        width * height > static_cast<double>(TiledModel::mostCells))
        fail(what + ": " + text(QString::number(width)) + " x " + text(QString::number(height)) +
             " cells, " +
             (none ? std::string("none at all")
                   : "more than the " + std::to_string(TiledModel::mostCells) +
                         " a layer may have here"));
}

void checkXmlSizes(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString element = xml.name().toString();
        if (element != "map" && element != "layer" && element != "chunk")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const QString name = attributes.value("name").toString();
        checkCells(text(element) + (name.isEmpty() ? "" : " " + quoted(name)),
                   attributes.value("width").toDouble(), attributes.value("height").toDouble(),
                   element != "map");
    }
}

void checkJsonSizes(const QVariant& value, const std::string& what) {
    const QVariantMap object = value.toMap();
    checkCells(what, object.value("width").toDouble(), object.value("height").toDouble(),
               object.contains("data"));
    for (const QVariant& layer : object.value("layers").toList())
        checkJsonSizes(layer, "layer " + quoted(layer.toMap().value("name").toString()));
    for (const QVariant& chunk : object.value("chunks").toList())
        checkJsonSizes(chunk, what + ": chunk");
}

bool isJson(const QByteArray& bytes) {
    for (const char c : bytes)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            return c == '{';
    return false;
}

// Tiled reads JSON tilesets and every template through formats that its own program
// registers; a program of our own registers these.
class JsonTilesetFormat : public Tiled::TilesetFormat {
  public:
    // Tiled finds formats by their interface name, which its plugins answer through Qt's
    // meta-object code; these classes answer it by hand.
    void* qt_metacast(const char* name) override {
        return std::strcmp(name, "org.mapeditor.TilesetFormat") == 0
                   ? static_cast<Tiled::TilesetFormat*>(this)
                   : Tiled::TilesetFormat::qt_metacast(name);
    }
    Tiled::SharedTileset read(const QString& fileName) override {
        error_.clear();
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            error_ = file.errorString();
            return {};
        }
        QVariant document;
        std::string error;
        if (!parseJson(file.readAll(), document, error)) {
            error_ = QString::fromStdString(error);
            return {};
        }
        Tiled::VariantToMapConverter converter;
        Tiled::SharedTileset tileset = converter.toTileset(document, QFileInfo(fileName).dir());
        if (tileset)
            tileset->setFileName(fileName);
        else
            error_ = converter.errorString();
        return tileset;
    }
    bool write(const Tiled::Tileset&, const QString&, Options) override { return false; }
    bool supportsFile(const QString& fileName) const override {
        return fileName.endsWith(".tsj", Qt::CaseInsensitive) ||
               fileName.endsWith(".json", Qt::CaseInsensitive);
    }
    QString nameFilter() const override { return "JSON tileset (*.tsj *.json)"; }
    QString shortName() const override { return "json"; }
    QString errorString() const override { return error_; }

  private:
    QString error_;
};

// Object templates, TX or TJ: Tiled's own program registers the readers for both.
class TemplateFormat : public Tiled::ObjectTemplateFormat {
  public:
    void* qt_metacast(const char* name) override {
        return std::strcmp(name, "org.mapeditor.ObjectTemplateFormat") == 0
                   ? static_cast<Tiled::ObjectTemplateFormat*>(this)
                   : Tiled::ObjectTemplateFormat::qt_metacast(name);
    }
    std::unique_ptr<Tiled::ObjectTemplate> read(const QString& fileName) override {
        error_.clear();
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            error_ = file.errorString();
            return {};
        }
        const QByteArray bytes = file.readAll();
        std::unique_ptr<Tiled::ObjectTemplate> made;
        if (isJson(bytes)) {
            QVariant document;
            std::string error;
            if (!parseJson(bytes, document, error)) {
                error_ = QString::fromStdString(error);
                return {};
            }
            Tiled::VariantToMapConverter converter;
            made = converter.toObjectTemplate(document, QFileInfo(fileName).dir());
            error_ = converter.errorString();
        } else {
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            Tiled::MapReader reader;
            made = reader.readObjectTemplate(&buffer, fileName);
            error_ = reader.errorString();
        }
        if (made)
            made->setFileName(fileName);
        return made;
    }
    bool write(const Tiled::ObjectTemplate*, const QString&) override { return false; }
    bool supportsFile(const QString&) const override { return true; }
    QString nameFilter() const override { return "Tiled template (*.tx *.tj)"; }
    QString shortName() const override { return "template"; }
    QString errorString() const override { return error_; }

  private:
    QString error_;
};

// Qt's messages (about its platform, fonts and folders) are not the tool's to print.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Qt wants a private runtime folder; without one it would leave "runtime-USER" in the
// temporary folder. This one is the tool's own and goes when the tool ends.
class RuntimeFolder {
  public:
    RuntimeFolder() {
        const QByteArray base =
            qEnvironmentVariableIsEmpty("TMPDIR") ? QByteArray("/tmp") : qgetenv("TMPDIR");
        std::string name = base.toStdString() + "/fennow-qt.XXXXXX";
        if (mkdtemp(name.data()) != nullptr) {
            path_ = name;
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(path_));
        }
    }
    ~RuntimeFolder() {
        if (!path_.empty())
            QDir(QString::fromStdString(path_)).removeRecursively();
    }

  private:
    std::string path_;
};

// Tiled's tiles are pixmaps, which need a GUI application; without a display it draws
// offscreen. Made once, on first use, with the two formats above.
void startQt() {
    if (QCoreApplication::instance() != nullptr)
        return;
    qInstallMessageHandler(quiet);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        static const RuntimeFolder runtime;
    }
    static int argc = 1;
    static char name[] = "fennow-maptool";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
    Tiled::PluginManager::instance(); // made before objects are added to it
    Tiled::PluginManager::addObject(new JsonTilesetFormat);
    Tiled::PluginManager::addObject(new TemplateFormat);
}

TiledModel::Rgba pixel(QRgb c) {
    return {static_cast<std::uint8_t>(qRed(c)), static_cast<std::uint8_t>(qGreen(c)),
            static_cast<std::uint8_t>(qBlue(c)), static_cast<std::uint8_t>(qAlpha(c))};
}

// The pixels with their own colours, not multiplied by alpha, so that a half-transparent
// edge keeps the colour Tiled shows.
TiledModel::Image imageOf(const QPixmap& pixmap, const QString& path) {
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    TiledModel::Image out;
    out.path = text(path);
    out.width = image.width();
    out.height = image.height();
    out.pixels.reserve(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < out.width; ++x)
            out.pixels.push_back(pixel(row[x]));
    }
    return out;
}

TiledModel::Property propertyOf(const QString& name, const QVariant& value) {
    TiledModel::Property p;
    p.name = text(name);
    const int type = value.userType();
    if (type == QMetaType::Bool) {
        p.type = "bool";
        p.value = value.toBool() ? "true" : "false";
    } else if (type == QMetaType::Int || type == QMetaType::LongLong) {
        p.type = "int";
        p.value = text(QString::number(value.toLongLong()));
    } else if (type == QMetaType::Double || type == QMetaType::Float) {
        p.type = "float";
        p.value = text(QString::number(value.toDouble(), 'g', 17));
    } else if (type == QMetaType::QColor) {
        p.type = "color";
        p.value = text(value.value<QColor>().name(QColor::HexArgb));
    } else if (type == qMetaTypeId<Tiled::FilePath>()) {
        p.type = "file";
        p.value = text(value.value<Tiled::FilePath>().url.toLocalFile());
    } else if (type == qMetaTypeId<Tiled::ObjectRef>()) {
        p.type = "object";
        p.value = std::to_string(value.value<Tiled::ObjectRef>().id);
    } else {
        p.type = "string";
        p.value = text(value.toString());
    }
    return p;
}

std::vector<TiledModel::Property> propertiesOf(const QVariantMap& properties) {
    std::vector<TiledModel::Property> out;
    for (auto it = properties.begin(); it != properties.end(); ++it)
        if (it.value().userType() != QMetaType::QVariantMap) // class values are left out
            out.push_back(propertyOf(it.key(), it.value()));
    return out;
}

std::string alignmentName(Tiled::Alignment alignment) {
    if (alignment == Tiled::Unspecified)
        return "unspecified";
    return text(Tiled::alignmentToString(alignment));
}

// Turns Tiled's map into the plain model; the tile numbers are made up anew, one range per
// tileset in the map's order, as the files would number them.
class Converter {
  public:
    Converter(const Tiled::Map& map, TiledModel::Map& out) : map_(map), out_(out) {}

    void run() {
        out_.orientation = text(Tiled::orientationToString(map_.orientation()));
        out_.renderOrder = text(Tiled::renderOrderToString(map_.renderOrder()));
        out_.staggerAxis = text(Tiled::staggerAxisToString(map_.staggerAxis()));
        out_.staggerIndex = text(Tiled::staggerIndexToString(map_.staggerIndex()));
        out_.width = map_.width();
        out_.height = map_.height();
        out_.tileWidth = map_.tileWidth();
        out_.tileHeight = map_.tileHeight();
        out_.infinite = map_.infinite();
        out_.properties = propertiesOf(map_.properties());
        std::uint32_t next = 1;
        for (const Tiled::SharedTileset& tileset : map_.tilesets()) {
            firstGids_[tileset.data()] = next;
            out_.tilesets.push_back(tilesetOf(*tileset, next));
            int largest = tileset->tileCount() - 1;
            for (const Tiled::Tile* tile : tileset->tiles())
                largest = std::max(largest, tile->id());
            next += static_cast<std::uint32_t>(largest + 1);
        }
        renderer_ = Tiled::MapRenderer::create(&map_);
        for (const Tiled::Layer* layer : map_.layers())
            addLayer(*layer, "");
    }

  private:
    const Tiled::Map& map_;
    TiledModel::Map& out_;
    std::map<const Tiled::Tileset*, std::uint32_t> firstGids_;
    std::unique_ptr<Tiled::MapRenderer> renderer_;

    std::string fileOf(const Tiled::Tileset& tileset) const {
        return tileset.isExternal() ? text(tileset.fileName()) : out_.file;
    }

    TiledModel::Tileset tilesetOf(const Tiled::Tileset& tileset, std::uint32_t firstGid) {
        TiledModel::Tileset out;
        out.firstGid = firstGid;
        out.name = text(tileset.name());
        out.file = fileOf(tileset);
        std::string where = "tileset " + quoted(tileset.name());
        if (tileset.isExternal())
            where += " (" + text(tileset.fileName()) + ")";
        if (tileset.status() == Tiled::LoadingError)
            fail(where + ": it cannot be read");
        out.tileWidth = tileset.tileWidth();
        out.tileHeight = tileset.tileHeight();
        out.margin = tileset.margin();
        out.spacing = tileset.tileSpacing();
        out.tileCount = tileset.tileCount();
        out.columns = tileset.columnCount();
        out.offsetX = tileset.tileOffset().x();
        out.offsetY = tileset.tileOffset().y();
        out.objectAlignment = alignmentName(tileset.objectAlignment());
        // Tiled cuts a single-image tileset into tiles of their own, with the transparent
        // colour keyed out; every tile then carries its picture, as in a collection.
        const QString sheet = tileset.imageSource().toLocalFile();
        if (!tileset.isCollection() && tileset.imageStatus() != Tiled::LoadingReady)
            fail(where + ": image " + quoted(sheet) + " cannot be read");
        for (const Tiled::Tile* tile : tileset.tiles()) {
            TiledModel::Tile t;
            t.id = tile->id();
            t.type = text(tile->type());
            t.properties = propertiesOf(tile->properties());
            for (const Tiled::Frame& frame : tile->frames())
                t.animation.push_back({frame.tileId, frame.duration});
            const QString source =
                tileset.isCollection() ? tile->imageSource().toLocalFile() : sheet;
            if (tile->image().isNull())
                fail(where + ": tile " + std::to_string(t.id) + ": image " + quoted(source) +
                     " cannot be read");
            t.image = imageOf(tile->image(), source);
            out.tiles.push_back(std::move(t));
        }
        return out;
    }

    std::uint32_t gidOf(const Tiled::Cell& cell) const {
        if (cell.isEmpty())
            return 0;
        const auto found = firstGids_.find(cell.tileset());
        if (found == firstGids_.end() || cell.tileId() < 0)
            return 0;
        std::uint32_t gid = found->second + static_cast<std::uint32_t>(cell.tileId());
        gid &= ~TiledModel::gidFlags;
        if (cell.flippedHorizontally())
            gid |= TiledModel::flippedHorizontally;
        if (cell.flippedVertically())
            gid |= TiledModel::flippedVertically;
        if (cell.flippedAntiDiagonally())
            gid |= TiledModel::flippedDiagonally;
        if (cell.rotatedHexagonal120())
            gid |= 0x10000000u;
        return gid;
    }

    void addLayer(const Tiled::Layer& layer, const std::string& prefix) {
        const std::string name = prefix + text(layer.name());
        if (layer.isGroupLayer()) {
            for (const Tiled::Layer* child : static_cast<const Tiled::GroupLayer&>(layer).layers())
                addLayer(*child, name + "/");
            return;
        }
        TiledModel::Layer out;
        out.name = name;
        out.visible = !layer.isHidden();
        out.opacity = layer.effectiveOpacity();
        const QColor tint = layer.effectiveTintColor();
        if (tint.isValid() && tint != QColor(Qt::white))
            out.tint = text(tint.name(QColor::HexArgb));
        out.offsetX = layer.totalOffset().x();
        out.offsetY = layer.totalOffset().y();
        out.parallaxX = layer.effectiveParallaxFactor().x();
        out.parallaxY = layer.effectiveParallaxFactor().y();
        out.properties = propertiesOf(layer.properties());
        if (layer.isTileLayer()) {
            out.kind = TiledModel::LayerKind::Tiles;
            readCells(static_cast<const Tiled::TileLayer&>(layer), out);
        } else if (layer.isObjectGroup()) {
            out.kind = TiledModel::LayerKind::Objects;
            for (const Tiled::MapObject* object :
                 static_cast<const Tiled::ObjectGroup&>(layer).objects())
                out.objects.push_back(objectOf(*object, name));
        } else if (layer.isImageLayer()) {
            out.kind = TiledModel::LayerKind::Image;
            out.imagePath =
                text(static_cast<const Tiled::ImageLayer&>(layer).imageSource().toLocalFile());
        } else {
            return;
        }
        out_.layers.push_back(std::move(out));
    }

    // The cells of a finite map's size, or of an infinite map's chunks; then the order and
    // places in which Tiled's renderer draws those that hold a tile.
    void readCells(const Tiled::TileLayer& layer, TiledModel::Layer& out) {
        const QRect bounds =
            map_.infinite() ? layer.bounds() : QRect(0, 0, map_.width(), map_.height());
        if (static_cast<long long>(bounds.width()) * bounds.height() > TiledModel::mostCells)
            fail("layer " + quoted(layer.name()) + ": " + std::to_string(bounds.width()) + " x " +
                 std::to_string(bounds.height()) + " cells, more than the " +
                 std::to_string(TiledModel::mostCells) + " a layer may have here");
        out.left = bounds.x();
        out.top = bounds.y();
        out.width = std::max(0, bounds.width());
        out.height = std::max(0, bounds.height());
        out.gids.assign(static_cast<std::size_t>(out.width) * out.height, 0);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                out.gids[static_cast<std::size_t>(y) * out.width + x] =
                    gidOf(layer.cellAt(out.left + x - layer.x(), out.top + y - layer.y()));
        if (out.width == 0 || out.height == 0)
            return;
        // Every cell whose tile can reach the bounds: the drawn area grows by the largest tile.
        const QRectF exposed = QRectF(renderer_->boundingRect(bounds))
                                   .adjusted(-1, -1, 1, 1)
                                   .marginsAdded(QMarginsF(map_.drawMargins()));
        // Only for the maps the import takes, and not where tiles far larger than the cells
        // would make the renderer visit many more places than the layer has cells.
        const bool staggered = map_.orientation() == Tiled::Map::Staggered &&
                               map_.staggerAxis() == Tiled::Map::StaggerY;
        if (map_.orientation() != Tiled::Map::Orthogonal && !staggered)
            return;
        // Tiled's renderers step by the tile size (half of it for staggered rows): a step of 0
        // would never end. The import refuses such maps later, naming the tile size.
        const int smallestTile = staggered ? 2 : 1;
        if (map_.tileWidth() < smallestTile || map_.tileHeight() < smallestTile)
            return;
        const double rowHeight = std::max(1, staggered ? map_.tileHeight() / 2 : map_.tileHeight());
        const double places = (exposed.width() / std::max(1, map_.tileWidth()) + 2) *
                              (exposed.height() / rowHeight + 2);
        if (places > std::max(4.0 * out.width * out.height, 1048576.0))
            return;
        renderer_->drawTileLayer(
            [&](QPoint cell, const QPointF& anchor) {
                const int x = cell.x() - out.left;
                const int y = cell.y() - out.top;
                if (x < 0 || y < 0 || x >= out.width || y >= out.height ||
                    out.gids[static_cast<std::size_t>(y) * out.width + x] == 0)
                    return;
                out.drawing.push_back({cell.x(), cell.y(), anchor.x(), anchor.y()});
            },
            exposed);
    }

    TiledModel::Object objectOf(const Tiled::MapObject& object, const std::string& layer) {
        if (const Tiled::ObjectTemplate* used = object.objectTemplate())
            if (used->object() == nullptr)
                fail("layer " + quoted(QString::fromStdString(layer)) + ": object " +
                     std::to_string(object.id()) + ": template " + quoted(used->fileName()) +
                     " cannot be read");
        TiledModel::Object out;
        out.id = object.id();
        out.name = text(object.name());
        out.type = text(object.effectiveType());
        out.x = object.x();
        out.y = object.y();
        out.width = object.width();
        out.height = object.height();
        out.gid = gidOf(object.cell());
        out.visible = object.isVisible();
        out.properties = propertiesOf(object.resolvedProperties());
        return out;
    }
};

} // namespace

bool TiledLoader::read(const std::string& path, TiledModel::Map& map) {
    startQt();
    try {
        return readText(readFile(QString::fromStdString(path)).toStdString(), path, map);
    } catch (const Failure& failure) {
        error_ = path + ": " + failure.message;
        return false;
    }
}

bool TiledLoader::readText(const std::string& content, const std::string& path,
                           TiledModel::Map& map) {
    startQt();
    map = TiledModel::Map{};
    map.file = path;
    error_.clear();
    const QString file = QString::fromStdString(path);
    const QByteArray bytes = QByteArray::fromStdString(content);
    try {
        std::unique_ptr<Tiled::Map> read;
        if (isJson(bytes)) {
            const QVariant document = jsonOf(bytes);
            checkJsonSizes(document, "map");
            Tiled::VariantToMapConverter converter;
            read = converter.toMap(document, QFileInfo(file).dir());
            if (!read)
                fail(oneLine(converter.errorString()));
        } else {
            checkXmlSizes(bytes);
            QBuffer buffer;
            buffer.setData(bytes);
            buffer.open(QIODevice::ReadOnly);
            Tiled::MapReader reader;
            read = reader.readMap(&buffer, QFileInfo(file).absolutePath());
            if (!read)
                fail(oneLine(reader.errorString()));
        }
        Converter(*read, map).run();
    } catch (const Failure& failure) {
        error_ = path + ": " + failure.message;
        map = TiledModel::Map{};
        return false;
    }
    return true;
}
