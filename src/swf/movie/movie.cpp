#include "swf/movie/movie.h"

#include "swf/format/tags.h"
#include "swf/io/bytereader.h"
#include "swf/limits.h"

#include <algorithm>
#include <cctype>

namespace swf {

namespace {

std::string lowerCase(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Walks one timeline's tags, adding definitions to the movie and control tags to the timeline.
class Builder {
public:
    Builder(const SwfFile& file, Movie& movie) : m_file(file), m_movie(movie) {}

    void timeline(std::size_t start, std::size_t end, Timeline& out, int nesting, bool root)
    {
        TagStream stream(m_file.data.data(), end, start);
        TagHeader tag;
        Frame current;
        std::size_t count = 0;
        while (stream.next(tag)) {
            if (++count > limits::kMaxTagsPerTimeline)
                break;
            ++m_movie.stats.tags;
            if (tag.code == tag::ShowFrame) {
                out.frames.push_back(std::move(current));
                current = Frame();
                if (root)
                    m_movie.framesLoaded = out.frames.size();
                continue;
            }
            handle(tag, out, current, nesting);
        }
        if (stream.damaged()) {
            ++m_movie.stats.damagedTags;
            m_movie.problems.push_back(stream.problem());
        }
        if (root)
            m_movie.complete = stream.sawEnd();
        out.ended = stream.sawEnd();
        // A timeline without ShowFrame still shows its tags as one frame (a streamed root once it is complete);
        // after the last ShowFrame they are no frame of their own.
        if (!current.tags.empty() && out.frames.empty() && (stream.sawEnd() || !root))
            out.frames.push_back(std::move(current));
        else
            out.trailing = std::move(current);
    }

private:
    const std::uint8_t* body(const TagHeader& t) const { return m_file.data.data() + t.bodyOffset; }

    void handle(const TagHeader& t, Timeline& out, Frame& frame, int nesting)
    {
        const std::uint8_t* b = body(t);
        std::size_t n = t.length;
        switch (t.code) {
        case tag::SetBackgroundColor: {
            // Flash keeps the first background colour; later SetBackgroundColor tags change nothing.
            if (m_backgroundSet)
                break;
            ByteReader r(b, n);
            m_movie.background = readRgb(r);
            m_backgroundSet = true;
            break;
        }
        case tag::DefineShape: case tag::DefineShape2: case tag::DefineShape3: case tag::DefineShape4: {
            int version = t.code == tag::DefineShape ? 1 : t.code == tag::DefineShape2 ? 2
                        : t.code == tag::DefineShape3 ? 3 : 4;
            Character c;
            c.kind = CharacterKind::Shape;
            auto shape = std::make_shared<Shape>(decodeShape(b, n, version));
            std::uint16_t id = shape->id;
            c.shape = std::move(shape);
            define(id, std::move(c));
            break;
        }
        case tag::DefineMorphShape: case tag::DefineMorphShape2: {
            Character c;
            c.kind = CharacterKind::Morph;
            auto morph = std::make_shared<MorphShape>(decodeMorphShape(b, n, t.code == tag::DefineMorphShape ? 1 : 2));
            std::uint16_t id = morph->id;
            c.morph = std::move(morph);
            define(id, std::move(c));
            break;
        }
        case tag::DefineSprite:
            sprite(t, nesting);
            break;
        case tag::DefineFont: case tag::DefineFont2: case tag::DefineFont3: {
            Character c;
            c.kind = CharacterKind::Font;
            int version = t.code == tag::DefineFont ? 1 : t.code == tag::DefineFont2 ? 2 : 3;
            auto font = std::make_shared<Font>(decodeFont(b, n, version));
            std::uint16_t id = font->id;
            c.font = std::move(font);
            define(id, std::move(c));
            break;
        }
        case tag::DefineFontInfo: case tag::DefineFontInfo2: {
            auto it = m_movie.characters.find(fontInfoTarget(b, n));
            if (it != m_movie.characters.end() && it->second.font) {
                auto font = std::make_shared<Font>(*it->second.font);
                applyFontInfo(*font, b, n, t.code == tag::DefineFontInfo ? 1 : 2);
                it->second.font = std::move(font);
            }
            break;
        }
        case tag::DefineText: case tag::DefineText2: {
            Character c;
            c.kind = CharacterKind::Text;
            auto text = std::make_shared<StaticText>(decodeText(b, n, t.code == tag::DefineText ? 1 : 2));
            std::uint16_t id = text->id;
            c.text = std::move(text);
            define(id, std::move(c));
            break;
        }
        case tag::CSMTextSettings:
            textSettings(b, n);
            break;
        case tag::DefineEditText: {
            Character c;
            c.kind = CharacterKind::EditText;
            auto text = std::make_shared<EditText>(decodeEditText(b, n, m_file.header.version));
            std::uint16_t id = text->id;
            c.editText = std::move(text);
            define(id, std::move(c));
            break;
        }
        case tag::DefineButton: case tag::DefineButton2: {
            Character c;
            c.kind = CharacterKind::Button;
            auto button = std::make_shared<Button>(decodeButton(b, n, t.code == tag::DefineButton ? 1 : 2));
            std::uint16_t id = button->id;
            c.button = std::move(button);
            define(id, std::move(c));
            break;
        }
        case tag::JPEGTables:
            m_jpegTables.assign(b, b + n);
            break;
        case tag::DefineBits: case tag::DefineBitsJPEG2: case tag::DefineBitsJPEG3: case tag::DefineBitsJPEG4:
        case tag::DefineBitsLossless: case tag::DefineBitsLossless2:
            bitmap(t);
            break;
        case tag::PlaceObject: case tag::PlaceObject2: case tag::PlaceObject3: {
            ControlTag c;
            c.kind = ControlTag::Kind::Place;
            int version = t.code == tag::PlaceObject ? 1 : t.code == tag::PlaceObject2 ? 2 : 3;
            c.place = decodePlaceObject(b, n, version, m_file.header.version);
            frame.tags.push_back(std::move(c));
            break;
        }
        case tag::RemoveObject: case tag::RemoveObject2: {
            ByteReader r(b, n);
            if (t.code == tag::RemoveObject)
                r.u16();
            ControlTag c;
            c.kind = ControlTag::Kind::Remove;
            c.depth = r.u16();
            frame.tags.push_back(std::move(c));
            break;
        }
        case tag::FrameLabel: {
            ByteReader r(b, n);
            out.labels.emplace(lowerCase(r.cstring()), out.frames.size());
            break;
        }
        case tag::DoAction:
            actions(b, n, frame);
            break;
        case tag::DoInitAction:
            initActions(b, n, frame);
            break;
        case tag::ExportAssets:
            exportAssets(b, n);
            break;
        case tag::ImportAssets: case tag::ImportAssets2:
            importAssets(b, n, t.code == tag::ImportAssets2);
            break;
        case tag::ScriptLimits:
            if (n >= 2)
                m_movie.maxRecursionDepth = b[0] | (b[1] << 8);
            break;
        case tag::FileAttributes:
            if (n >= 1 && (b[0] & 0x08))
                m_movie.actionScript3 = true;
            break;
        case tag::End:
            break;
        case tag::DefineSound: case tag::StartSound: case tag::StartSound2:
        case tag::SoundStreamHead: case tag::SoundStreamHead2: case tag::SoundStreamBlock:
            sound(t, out, frame);
            break;
        case tag::DefineScalingGrid: {
            ByteReader r(b, n);
            std::uint16_t id = r.u16();
            Rect grid = readRect(r);
            if (!r.overrun())
                m_movie.scalingGrids[id] = grid;
            break;
        }
        default:
            ++m_movie.stats.skippedTags;
            ++m_movie.stats.skippedByCode[t.code];
            break;
        }
    }

    // Sound definitions go to the movie; starts, stream heads and blocks to the timeline being built.
    void sound(const TagHeader& t, Timeline& out, Frame& frame)
    {
        const std::uint8_t* b = body(t);
        std::size_t n = t.length;
        bool ok = true;
        if (t.code == tag::DefineSound) {
            auto parsed = audio::parseDefineSound(b, n);
            if ((ok = parsed.ok()))
                m_movie.sounds[parsed->id] = std::make_shared<audio::DefineSoundTag>(std::move(parsed.value()));
        } else if (t.code == tag::StartSound || t.code == tag::StartSound2) {
            auto parsed = t.code == tag::StartSound ? audio::parseStartSound(b, n) : audio::parseStartSound2(b, n);
            if ((ok = parsed.ok())) {
                ControlTag c;
                c.kind = ControlTag::Kind::StartSound;
                c.sound = std::make_shared<audio::StartSoundTag>(std::move(parsed.value()));
                frame.tags.push_back(std::move(c));
            }
        } else if (t.code == tag::SoundStreamBlock) {
            frame.streamBlock.assign(b, b + n);
        } else if (!out.streamHead) {
            auto parsed = audio::parseSoundStreamHead(b, n);
            if ((ok = parsed.ok()))
                out.streamHead = std::make_shared<audio::SoundStreamHeadTag>(parsed.value());
        }
        if (!ok)
            ++m_movie.stats.damagedTags;
    }

    void define(std::uint16_t id, Character c) { m_movie.characters[id] = std::move(c); }

    // CSMTextSettings: the text's id, then the renderer in the top two bits (1 is the advanced one).
    void textSettings(const std::uint8_t* b, std::size_t n)
    {
        if (n < 3)
            return;
        auto it = m_movie.characters.find(std::uint16_t(b[0] | (b[1] << 8)));
        if (it == m_movie.characters.end() || !it->second.text)
            return;
        auto text = std::make_shared<StaticText>(*it->second.text);
        text->advanced = (b[2] >> 6) == 1;
        it->second.text = std::move(text);
    }

    void sprite(const TagHeader& t, int nesting)
    {
        if (nesting + 1 > limits::kMaxSpriteNesting || t.length < 4) {
            ++m_movie.stats.damagedTags;
            return;
        }
        ByteReader r(body(t), t.length);
        auto sprite = std::make_shared<Sprite>();
        sprite->id = r.u16();
        r.u16();  // declared frame count; the ShowFrame tags are what counts
        std::size_t end = t.bodyOffset + t.length;
        timeline(t.bodyOffset + 4, end, sprite->timeline, nesting + 1, false);
        Character c;
        c.kind = CharacterKind::Sprite;
        std::uint16_t id = sprite->id;
        c.sprite = std::move(sprite);
        define(id, std::move(c));
    }

    void bitmap(const TagHeader& t)
    {
        if (t.length < 2) {
            ++m_movie.stats.damagedTags;
            return;
        }
        ByteReader r(body(t), t.length);
        std::uint16_t id = r.u16();
        auto decoded = decodeBitmap(t.code, body(t) + 2, t.length - 2, m_jpegTables);
        if (!decoded) {
            ++m_movie.stats.damagedTags;
            m_movie.problems.push_back("bitmap " + std::to_string(id) + ": " + decoded.error());
            return;
        }
        Character c;
        c.kind = CharacterKind::Bitmap;
        c.bitmap = std::make_shared<Bitmap>(std::move(decoded).value());
        define(id, std::move(c));
    }

    void actions(const std::uint8_t* b, std::size_t n, Frame& frame)
    {
        ++m_movie.stats.scripts;
        ControlTag c;
        c.kind = ControlTag::Kind::Actions;
        c.actions.assign(b, b + n);
        frame.tags.push_back(std::move(c));
    }

    void initActions(const std::uint8_t* b, std::size_t n, Frame& frame)
    {
        ++m_movie.stats.scripts;
        if (n < 2) {
            ++m_movie.stats.damagedTags;
            return;
        }
        ControlTag c;
        c.kind = ControlTag::Kind::InitActions;
        c.depth = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
        c.actions.assign(b + 2, b + n);
        frame.tags.push_back(std::move(c));
    }

    void exportAssets(const std::uint8_t* b, std::size_t n)
    {
        ByteReader r(b, n);
        std::uint16_t count = r.u16();
        for (std::uint16_t i = 0; i < count && !r.overrun(); ++i) {
            std::uint16_t id = r.u16();
            std::string name = r.cstring();
            if (!r.overrun())
                m_movie.exports.emplace(std::move(name), id);
        }
    }

    void importAssets(const std::uint8_t* b, std::size_t n, bool second)
    {
        ByteReader r(b, n);
        AssetImport import;
        import.url = r.cstring();
        if (second)
            r.u16();  // two reserved bytes
        std::uint16_t count = r.u16();
        for (std::uint16_t i = 0; i < count && !r.overrun(); ++i) {
            std::uint16_t id = r.u16();
            std::string name = r.cstring();
            if (!r.overrun())
                import.symbols.emplace_back(std::move(name), id);
        }
        if (!import.symbols.empty())
            m_movie.imports.push_back(std::move(import));
    }

    const SwfFile& m_file;
    Movie& m_movie;
    std::vector<std::uint8_t> m_jpegTables;
    bool m_backgroundSet = false;
};

}  // namespace

long Timeline::frameOfLabel(const std::string& label) const
{
    auto it = labels.find(lowerCase(label));
    return it == labels.end() ? -1 : static_cast<long>(it->second);
}

const Character* Movie::character(std::uint16_t id) const
{
    auto it = characters.find(id);
    return it == characters.end() ? nullptr : &it->second;
}

std::uint16_t Movie::exported(const std::string& name) const
{
    auto it = exports.find(name);
    if (it != exports.end())
        return it->second;
    std::string wanted = lowerCase(name);
    for (const auto& [key, id] : exports)
        if (lowerCase(key) == wanted)
            return id;
    return 0;
}

std::shared_ptr<const Movie> buildMovie(const SwfFile& file)
{
    auto movie = std::make_shared<Movie>();
    movie->header = file.header;
    movie->problems = file.problems;
    auto root = std::make_shared<Timeline>();
    Builder builder(file, *movie);
    builder.timeline(file.firstTagOffset, file.data.size(), *root, 0, true);
    if (movie->complete || !file.truncated)
        movie->framesLoaded = root->frames.size();
    movie->root = std::move(root);
    return movie;
}

}  // namespace swf
