#!/bin/bash
# Makes the small Tiled maps, tilesets and images the map tool's tests read.
# The PNGs and the TMX/TSX files are written here; the TMJ/TSJ twins come from Tiled's own
# command line (`tiled --export-map`, `--export-tileset`), so they are what Tiled writes.
# Run from anywhere: ./tests/data/tiled/make-fixtures.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"

# Tiled wants a runtime and a settings folder; keep them out of the home folder and /tmp.
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tiled-fixtures.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export QT_QPA_PLATFORM=offscreen TMPDIR="$scratch" XDG_RUNTIME_DIR="$scratch" XDG_CONFIG_HOME="$scratch" HOME="$scratch"
chmod 700 "$scratch"

python3 - <<'EOF'
import base64, gzip, struct, subprocess, zlib

# --- PNG drawing -------------------------------------------------------------------------

def png(path, width, height, pixels):
    """pixels: list of rows of (r, g, b, a)."""
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in pixels)
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))

def canvas(width, height, colour):
    return [[colour] * width for _ in range(height)]

def fill(pixels, x, y, w, h, colour):
    for j in range(y, y + h):
        for i in range(x, x + w):
            pixels[j][i] = colour

# Distinct body colours; none is black, magenta or grey 64, the map format's key colours.
BODIES = [(90, 140, 60), (160, 110, 70), (70, 120, 170), (200, 180, 120),
          (130, 70, 150), (60, 160, 150), (210, 120, 40), (150, 150, 200)]
CORNERS = [(230, 40, 40, 255), (40, 200, 60, 255), (40, 80, 230, 255), (240, 220, 40, 255)]  # TL TR BL BR

def tile(pixels, x, y, w, h, body):
    """A tile with a coloured corner in each corner, so every flip and turn shows."""
    fill(pixels, x, y, w, h, body)
    cw, ch = max(2, w // 4), max(2, h // 4)
    fill(pixels, x, y, cw, ch, CORNERS[0])
    fill(pixels, x + w - cw, y, cw, ch, CORNERS[1])
    fill(pixels, x, y + h - ch, cw, ch, CORNERS[2])
    fill(pixels, x + w - cw, y + h - ch, cw, ch, CORNERS[3])

def sheet(path, tw, th, columns, rows, margin=0, spacing=0, extra=(0, 0), gap=(120, 30, 30, 255)):
    width = margin + columns * tw + (columns - 1) * spacing + extra[0]
    height = margin + rows * th + (rows - 1) * spacing + extra[1]
    pixels = canvas(width, height, gap)
    for n in range(columns * rows):
        col, row = n % columns, n // columns
        body = BODIES[n % len(BODIES)] + (255,)
        tile(pixels, margin + col * (tw + spacing), margin + row * (th + spacing), tw, th, body)
    png(path, width, height, pixels)

sheet("tiles16.png", 16, 16, 4, 2)
sheet("tiles24.png", 24, 24, 3, 2)
sheet("tiles32.png", 32, 32, 2, 2)
# Margin 2, spacing 1, and leftover pixels on the right and bottom that hold no tile.
sheet("spaced.png", 32, 32, 3, 2, margin=2, spacing=1, extra=(3, 2))
sheet("tall.png", 16, 32, 2, 1)
for n, name in enumerate(["col-a.png", "col-b.png", "col-c.png"]):
    pixels = canvas(16, 16, (0, 0, 0, 0))
    tile(pixels, 0, 0, 16, 16, BODIES[n + 3] + (255,))
    png(name, 16, 16, pixels)

# Two tiles on a background of the colour keyed by `trans` (00c8c8).
KEY = (0, 200, 200, 255)
pixels = canvas(32, 16, KEY)
tile(pixels, 4, 4, 8, 8, BODIES[0] + (255,))
tile(pixels, 16 + 2, 2, 12, 10, BODIES[1] + (255,))
png("trans.png", 32, 16, pixels)

# Diamonds for staggered, isometric and hexagonal maps (16 x 8), clear outside.
pixels = canvas(32, 8, (0, 0, 0, 0))
for n in range(2):
    for j in range(8):
        half = (j + 1) if j < 4 else (8 - j)
        for i in range(8 - 2 * half, 8 + 2 * half):
            pixels[j][n * 16 + i] = BODIES[n + 5] + (255,)
png("diamond.png", 32, 8, pixels)

# --- TMX writing ----------------------------------------------------------------------------

def csv(gids, width):
    rows = [",".join(str(g) for g in gids[i:i + width]) for i in range(0, len(gids), width)]
    return "\n" + ",\n".join(rows) + "\n"

def raw(gids):
    return b"".join(struct.pack("<I", g) for g in gids)

def zstd(data):
    return subprocess.run(["zstd", "-q", "-c"], input=data, stdout=subprocess.PIPE, check=True).stdout

def data(gids, width, form):
    if form == "csv":
        return '<data encoding="csv">' + csv(gids, width) + "</data>"
    if form == "xml":
        return "<data>\n" + "".join(f'    <tile gid="{g}"/>\n' if g else "    <tile/>\n"
                                    for g in gids) + "   </data>"
    packed = {"base64": raw(gids), "zlib": zlib.compress(raw(gids)),
              "gzip": gzip.compress(raw(gids), mtime=0), "zstd": zstd(raw(gids))}[form]
    compression = "" if form == "base64" else f' compression="{form}"'
    return (f'<data encoding="base64"{compression}>\n   '
            + base64.b64encode(packed).decode() + "\n  </data>")

def layer(lid, name, width, height, gids, form="csv", extra=""):
    return (f' <layer id="{lid}" name="{name}" width="{width}" height="{height}"{extra}>\n'
            f'  {data(gids, width, form)}\n </layer>\n')

def tmx(path, width, height, tw, th, body, orientation="orthogonal", extra="", infinite=0):
    with open(path, "w") as f:
        f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                f'<map version="1.8" tiledversion="1.8.2" orientation="{orientation}" '
                f'renderorder="right-down" width="{width}" height="{height}" '
                f'tilewidth="{tw}" tileheight="{th}"{extra} infinite="{infinite}" '
                'nextlayerid="10" nextobjectid="10">\n' + body + "</map>\n")

def tileset(firstgid, name, tw, th, image, iw, ih, count, columns, margin=0, spacing=0,
            children="", trans=""):
    attributes = f' margin="{margin}"' if margin else ""
    attributes += f' spacing="{spacing}"' if spacing else ""
    trans = f' trans="{trans}"' if trans else ""
    return (f' <tileset firstgid="{firstgid}" name="{name}" tilewidth="{tw}" tileheight="{th}"'
            f'{attributes} tilecount="{count}" columns="{columns}">\n'
            f'  <image source="{image}"{trans} width="{iw}" height="{ih}"/>\n{children} </tileset>\n')

TILES16 = tileset(1, "tiles16", 16, 16, "tiles16.png", 64, 32, 8, 4)
H, V, D = 0x80000000, 0x40000000, 0x20000000

# Orthogonal with layers, a group, a hidden layer, half opacity and two characters.
body = TILES16
body += layer(1, "Ground", 4, 3, [1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4])
body += ' <group id="2" name="Upper" offsetx="0" opacity="1">\n'
body += layer(3, "Decor", 4, 3, [0, 5, 0, 0, 0, 0, 6, 0, 0, 0, 0, 7]).replace("\n ", "\n  ")
body += layer(4, "Hidden", 4, 3, [8] * 12, extra=' visible="0"').replace("\n ", "\n  ")
body += " </group>\n"
body += layer(5, "Shade", 4, 3, [0, 0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0], extra=' opacity="0.5"')
body += """ <objectgroup id="6" name="Characters">
  <object id="1" name="Ben" type="npc" x="16" y="16" width="16" height="16">
   <properties>
    <property name="script" value="Data\\Scripts\\NPCs\\Ben.lua"/>
    <property name="sprite" value="Ben"/>
   </properties>
  </object>
  <object id="2" name="Mara" type="npc" x="40.5" y="24">
   <properties>
    <property name="script" value="Data\\Scripts\\NPCs\\Mara.lua"/>
    <property name="sprite" value="Mara"/>
   </properties>
  </object>
  <object id="3" name="Sign" x="0" y="0" width="8" height="8"/>
 </objectgroup>
"""
tmx("ortho.tmx", 4, 3, 16, 16, body)

# External tilesets with margin and spacing: TSX here, the TSJ exported below.
with open("spaced.tsx", "w") as f:
    f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<tileset version="1.8" tiledversion="1.8.2" name="spaced" tilewidth="32" '
            'tileheight="32" spacing="1" margin="2" tilecount="6" columns="3">\n'
            ' <image source="spaced.png" width="103" height="69"/>\n</tileset>\n')
gids = [1, 2, 3, 4, 5, 6]
tmx("external.tmx", 3, 2, 32, 32,
    ' <tileset firstgid="1" source="spaced.tsx"/>\n' + layer(1, "Ground", 3, 2, gids))
tmx("external-tsj.tmx", 3, 2, 32, 32,
    ' <tileset firstgid="1" source="spaced.tsj"/>\n' + layer(1, "Ground", 3, 2, gids[::-1]))

# 16, 24 and 32 pixel tiles.
tmx("size16.tmx", 3, 2, 16, 16, TILES16 + layer(1, "Ground", 3, 2, [1, 2, 3, 6, 7, 8]))
tmx("size24.tmx", 3, 2, 24, 24,
    tileset(1, "tiles24", 24, 24, "tiles24.png", 72, 48, 6, 3)
    + layer(1, "Ground", 3, 2, [1, 2, 3, 4, 5, 6]))
tmx("size32.tmx", 3, 2, 32, 32,
    tileset(1, "tiles32", 32, 32, "tiles32.png", 64, 64, 4, 2)
    + layer(1, "Ground", 3, 2, [1, 2, 3, 4, 3, 2]))

# The eight flip combinations of one tile, in a row.
flips = [1 | bits for bits in (0, H, V, H | V, D, D | H, D | V, D | H | V)]
tmx("flips.tmx", 8, 1, 16, 16, TILES16 + layer(1, "Flips", 8, 1, flips))

# An image collection with gaps in its ids, tiles not in id order.
collection = """ <tileset firstgid="1" name="collection" tilewidth="16" tileheight="16" tilecount="3" columns="0">
  <grid orientation="orthogonal" width="1" height="1"/>
  <tile id="5">
   <image width="16" height="16" source="col-c.png"/>
  </tile>
  <tile id="0">
   <image width="16" height="16" source="col-a.png"/>
  </tile>
  <tile id="2">
   <image width="16" height="16" source="col-b.png"/>
  </tile>
 </tileset>
"""
tmx("collection.tmx", 3, 2, 16, 16, collection + layer(1, "Ground", 3, 2, [1, 3, 6, 6, 0, 1]))

# Tiles taller than the grid, moved by the tileset's tile offset.
tall = tileset(1, "tall", 16, 32, "tall.png", 32, 32, 2, 2,
               children='  <tileoffset x="2" y="-3"/>\n')
tmx("tall.tmx", 3, 3, 16, 16, tall + layer(1, "Trees", 3, 3, [0, 0, 0, 1, 0, 2, 0, 2, 0]))

# Staggered along y, both indices; isometric and hexagonal for the refusals.
diamonds = tileset(1, "diamond", 16, 8, "diamond.png", 32, 8, 2, 2)
cells = [1, 2, 1, 2, 1, 2, 1, 2, 1, 2, 1, 2]
for index in ("odd", "even"):
    tmx(f"staggered-{index}.tmx", 3, 4, 16, 8, diamonds + layer(1, "Ground", 3, 4, cells),
        orientation="staggered", extra=f' staggeraxis="y" staggerindex="{index}"')
tmx("isometric.tmx", 3, 4, 16, 8, diamonds + layer(1, "Ground", 3, 4, cells),
    orientation="isometric")
tmx("hexagonal.tmx", 3, 4, 16, 8, diamonds + layer(1, "Ground", 3, 4, cells),
    orientation="hexagonal", extra=' hexsidelength="4" staggeraxis="y" staggerindex="odd"')

# One layer in every data form; flip bits and a second tileset make GIDs past 2^31 and 8.
TILES24_AT9 = tileset(9, "second", 16, 16, "tiles16.png", 64, 32, 8, 4)
encoded = [1, 2 | H, 0, 9 | V, 16 | D | H | V, 0, 3, 4 | D]
for form in ("csv", "base64", "zlib", "gzip", "zstd", "xml"):
    tmx(f"enc-{form}.tmx", 4, 2, 16, 16, TILES16 + TILES24_AT9 + layer(1, "Ground", 4, 2,
                                                                       encoded, form))

# Infinite: two 4 x 4 chunks, one at negative coordinates.
chunk_a = [1] * 16
chunk_b = [2, 0, 0, 3] + [0] * 8 + [4, 0, 0, 5 | H]
body = TILES16 + """ <layer id="1" name="Ground" width="4" height="4">
  <data encoding="csv">
   <chunk x="-4" y="-8" width="4" height="4">""" + csv(chunk_a, 4) + """</chunk>
   <chunk x="4" y="0" width="4" height="4">""" + csv(chunk_b, 4) + """</chunk>
  </data>
 </layer>
"""
tmx("infinite.tmx", 4, 4, 16, 16,
    ' <editorsettings>\n  <chunksize width="4" height="4"/>\n </editorsettings>\n' + body,
    infinite=1)

# Tiles with integer properties named like the block fields, and an animated tile.
fields = """  <tile id="1">
   <properties>
    <property name="flags" type="int" value="3"/>
    <property name="userLong1" type="int" value="-70000"/>
    <property name="userByte3" type="int" value="200"/>
    <property name="note" value="not a field"/>
   </properties>
  </tile>
  <tile id="2" type="water">
   <properties>
    <property name="userShort2" type="int" value="-5"/>
    <property name="story">two
lines</property>
   </properties>
  </tile>
"""
tmx("blockfields.tmx", 3, 1, 16, 16,
    tileset(1, "tiles16", 16, 16, "tiles16.png", 64, 32, 8, 4, children=fields)
    + layer(1, "Ground", 3, 1, [1, 2, 3]))
animation = """  <tile id="3">
   <animation>
    <frame tileid="3" duration="100"/>
    <frame tileid="4" duration="200"/>
    <frame tileid="5" duration="150"/>
   </animation>
  </tile>
"""
tmx("animated.tmx", 2, 1, 16, 16,
    tileset(1, "tiles16", 16, 16, "tiles16.png", 64, 32, 8, 4, children=animation)
    + layer(1, "Ground", 2, 1, [4, 1]))

# A tileset image with a transparent colour over a ground layer.
tmx("trans.tmx", 2, 1, 16, 16,
    TILES16 + tileset(9, "trans", 16, 16, "trans.png", 32, 16, 2, 2, trans="00c8c8")
    + layer(1, "Ground", 2, 1, [1, 2]) + layer(2, "Things", 2, 1, [9, 10]))

# Tall tiles that overlap on a staggered grid: 64 x 64 tiles on a 64 x 32 grid, moved 16 px
# down by the tile offset, on an infinite map. Each tile is a ground diamond under a pillar of
# its own colour, with half-transparent edges: nearly opaque ones and faint ones.
def tall_tile(pixels, left, body, pillar):
    def put(x, y, colour, alpha):
        pixels[y][left + x] = colour + (alpha,)
    for j in range(32):
        half = 2 * (j + 1) if j < 16 else 2 * (32 - j)
        for i in range(32 - half, 32 + half):
            edge = min(i - (32 - half), 32 + half - 1 - i)
            put(i, 32 + j, body, 64 if edge == 0 else 192 if edge == 1 else 255)
    if pillar:
        for j in range(4, 44):
            for i in range(22, 42):
                edge = min(i - 22, 41 - i)
                put(i, j, pillar, 192 if edge == 0 else 255)
TALL = [((200, 170, 100), None), ((120, 180, 110), (230, 200, 150)),
        ((170, 130, 200), None), ((110, 160, 210), (240, 160, 120))]
pixels = canvas(256, 64, (0, 0, 0, 0))
for n, (body, pillar) in enumerate(TALL):
    tall_tile(pixels, 64 * n, body, pillar)
png("stagger64.png", 256, 64, pixels)
stagger64 = tileset(1, "stagger64", 64, 64, "stagger64.png", 256, 64, 4, 4,
                    children='  <tileoffset x="0" y="16"/>\n')
# Cells -16..-1 across and -16..31 down, three 16 x 16 chunks filled to their edges (Tiled
# draws the chunks' whole area), with a few holes inside.
chunks = ""
for cy in (-16, 0, 16):
    gids = []
    for y in range(cy, cy + 16):
        for x in range(-16, 0):
            hole = (x * 7 + y * 3) % 11 == 0 and -16 < x < -1 and -16 < y < 31
            gids.append(0 if hole else 1 + (x * 5 + y * 3) % 4)
    chunks += f'   <chunk x="-16" y="{cy}" width="16" height="16">' + csv(gids, 16) + '</chunk>\n'
tmx("staggered-tall.tmx", 16, 48, 64, 32,
    stagger64 + ' <layer id="1" name="Ground" width="16" height="48">\n'
    '  <data encoding="csv">\n' + chunks + '  </data>\n </layer>\n',
    orientation="staggered", extra=' staggeraxis="y" staggerindex="odd"', infinite=1)
EOF

# The JSON twins, as Tiled writes them.
tiled --export-tileset json spaced.tsx spaced.tsj 2>/dev/null
for map in ortho external flips collection infinite enc-csv enc-base64 enc-zlib enc-gzip \
    enc-zstd enc-xml staggered-odd staggered-tall; do
    tiled --export-map json "$map.tmx" "$map.tmj" 2>/dev/null
done
