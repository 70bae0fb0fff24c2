#!/usr/bin/python3
"""Generates the glyph font Qirtas1 and the Urdu key map pages.

Qirtas1 draws one fixed glyph per one-byte glyph code c, reached through the
private-use character U+F000 + c; the space (code 32) is also reached through
U+0020 so that lines still break between words. The shaping engine picks the
codes; this font only has to draw each code as the positional form of the
letter the code stands for, so that glyphs laid out left to right meet and read
as joined Urdu from right to left.

The outlines come from Debian's Noto Naskh Arabic (fonts-noto-core), each
letter in the form that the font's own Urdu positional substitutions choose;
the few ASCII signs that font lacks come from Noto Sans, which has the same
units per em. Both are under the SIL Open Font License 1.1 (OFL.txt beside the
font).

Run it with Debian's own interpreter, which is the one that has fontTools:

    /usr/bin/python3 tools/qirtas/make_qirtas1.py

It rewrites src/resources/fonts/Qirtas1.ttf, the letter table of the Unicode
conversion (src/urdu/UrduLetterTable.h), and the key map tables of the help
page (src/resources/help.html) and of README.md between their urdu-keymap
markers, byte for byte the same on every run from the same sources.
"""

import html
import sys
from dataclasses import dataclass
from pathlib import Path

from fontTools.feaLib.builder import addOpenTypeFeaturesFromString
from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import timestampFromString
from fontTools.pens.recordingPen import DecomposingRecordingPen
from fontTools.pens.transformPen import TransformPen
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

NASKH_PATH = Path('/usr/share/fonts/truetype/noto/NotoNaskhArabic-Regular.ttf')
SANS_PATH = Path('/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf')

REPO = Path(__file__).resolve().parents[2]
FONT_OUT = REPO / 'src/resources/fonts/Qirtas1.ttf'
LETTER_TABLE = REPO / 'src/urdu/UrduLetterTable.h'
HELP_PAGE = REPO / 'src/resources/help.html'
README = REPO / 'README.md'
KEYMAP_BEGIN = '<!-- urdu-keymap -->\n'
KEYMAP_END = '<!-- /urdu-keymap -->'

FACE_NAME = 'Qirtas1'
VERSION = '1.000'
PRIVATE_USE_BASE = 0xF000
SPACE_CODE = 32
# A fixed date keeps the output reproducible.
BUILD_DATE = timestampFromString('Sat Jan  1 00:00:00 2022')

ISOL, FINA, INIT, MEDI = 'isol', 'fina', 'init', 'medi'


@dataclass(frozen=True)
class Letter:
    """A key of the phonetic layout and the glyph codes of its forms."""
    key: str
    text: str    # the Urdu letter the key stands for
    name: str    # its name as Urdu readers say it
    forms: dict  # glyph code -> positional form, as the shaping engine uses them


@dataclass(frozen=True)
class Sign:
    """A digit or sign: one glyph code drawn as one character of a source font."""
    code: int
    key: str     # the key that types it, empty when no key does
    text: str    # the character it stands for in Urdu text
    name: str
    source: str  # 'naskh' or 'sans'
    drawn: str = ''  # the character whose glyph draws it, when not the same

    def glyph_character(self):
        return self.drawn or self.text


# In Urdu alphabetical order, which the help page shows. The glyph codes are
# the shaping engine's; the letter behind each key follows the phonetic layout
# that Urdu typists know, each letter of the same joining class as its codes.
LETTERS = [
    Letter('a', '\u0627', 'alif', {65: ISOL, 66: FINA}),
    Letter('A', '\u0622', 'alif madda', {69: ISOL}),
    Letter('b', '\u0628', 'be', {76: ISOL, 75: FINA, 73: INIT, 74: MEDI}),
    Letter('p', '\u067E', 'pe', {133: ISOL, 132: FINA, 130: INIT, 131: MEDI}),
    Letter('t', '\u062A', 'te', {80: ISOL, 79: FINA, 77: INIT, 78: MEDI}),
    Letter('T', '\u0679', '\u1e6de', {147: ISOL, 146: FINA, 144: INIT, 145: MEDI}),
    Letter('C', '\u062B', 'se', {84: ISOL, 83: FINA, 81: INIT, 82: MEDI}),
    Letter('j', '\u062C', 'j\u012bm', {88: ISOL, 87: FINA, 85: INIT, 86: MEDI}),
    Letter('c', '\u0686', 'che', {137: ISOL, 136: FINA, 134: INIT, 135: MEDI}),
    Letter('H', '\u062D', 'ba\u1e5b\u012b he', {96: ISOL, 92: FINA, 89: INIT, 90: MEDI}),
    Letter('K', '\u062E', 'khe', {100: ISOL, 99: FINA, 97: INIT, 98: MEDI}),
    Letter('d', '\u062F', 'd\u0101l', {101: ISOL, 102: FINA}),
    Letter('D', '\u0688', '\u1e0d\u0101l', {148: ISOL, 149: FINA}),
    Letter('Z', '\u0630', 'z\u0101l', {103: ISOL, 104: FINA}),
    Letter('r', '\u0631', 're', {105: ISOL, 106: FINA}),
    Letter('R', '\u0691', '\u1e5be', {152: ISOL, 153: FINA}),
    Letter('z', '\u0632', 'ze', {107: ISOL, 108: FINA}),
    Letter('X', '\u0698', 'zhe', {138: ISOL, 139: FINA}),
    Letter('s', '\u0633', 's\u012bn', {112: ISOL, 111: FINA, 109: INIT, 110: MEDI}),
    Letter('x', '\u0634', 'sh\u012bn', {116: ISOL, 115: FINA, 113: INIT, 114: MEDI}),
    Letter('S', '\u0635', 'su\u2019\u0101d', {120: ISOL, 119: FINA, 117: INIT, 118: MEDI}),
    Letter('J', '\u0636', 'zu\u2019\u0101d', {126: ISOL, 124: FINA, 121: INIT, 122: MEDI}),
    # The engine keeps the same two glyphs of v whether or not a letter follows,
    # and joins the next letter to them: they must connect on the left, so they
    # are the initial and medial forms. The isolated form sits at code 127,
    # which the engine reads back as v although it never produces it.
    Letter('v', '\u0637', 'to\u2019e', {162: INIT, 161: MEDI, 127: ISOL}),
    Letter('V', '\u0638', 'zo\u2019e', {166: ISOL, 165: FINA, 163: INIT, 164: MEDI}),
    Letter('e', '\u0639', '\u2019ain', {170: ISOL, 169: FINA, 167: INIT, 168: MEDI}),
    Letter('G', '\u063A', 'ghain', {174: ISOL, 173: FINA, 171: INIT, 172: MEDI}),
    Letter('f', '\u0641', 'fe', {178: ISOL, 177: FINA, 175: INIT, 176: MEDI}),
    Letter('q', '\u0642', 'q\u0101f', {182: ISOL, 181: FINA, 179: INIT, 180: MEDI}),
    Letter('k', '\u06A9', 'k\u0101f', {186: ISOL, 185: FINA, 183: INIT, 184: MEDI}),
    Letter('g', '\u06AF', 'g\u0101f', {143: ISOL, 142: FINA, 140: INIT, 141: MEDI}),
    Letter('l', '\u0644', 'l\u0101m', {190: ISOL, 189: FINA, 187: INIT, 188: MEDI}),
    Letter('L', '\u0644\u0627', 'l\u0101m alif', {220: ISOL, 221: FINA}),
    Letter('m', '\u0645', 'm\u012bm', {194: ISOL, 193: FINA, 191: INIT, 192: MEDI}),
    Letter('n', '\u0646', 'n\u016bn', {198: ISOL, 197: FINA, 195: INIT, 196: MEDI}),
    Letter('N', '\u06BA', 'n\u016bn ghunna', {231: ISOL, 230: FINA}),
    Letter('w', '\u0648', 'w\u0101o', {203: ISOL, 204: FINA}),
    Letter('W', '\u0624', 'w\u0101o hamza', {157: ISOL, 156: FINA}),
    Letter('o', '\u06C1', 'cho\u1e6d\u012b he', {202: ISOL, 201: FINA, 199: INIT, 200: MEDI}),
    Letter('O', '\u06C3', 'gol te', {209: ISOL, 210: FINA}),
    Letter('h', '\u06BE', 'do-chashm\u012b he', {235: ISOL, 234: FINA, 232: INIT, 233: MEDI}),
    Letter('u', '\u0621', 'hamza (yeh hamza \u0626 before a letter)', {213: ISOL}),
    # i and y are the two ye: the Urdu one, whose isolated and final forms have
    # no dots, and the Arabic one, which keeps its dots. The engine gives both
    # the same initial and medial glyphs, which are the same shape in both.
    Letter('i', '\u06CC', 'cho\u1e6d\u012b ye', {212: ISOL, 211: FINA, 205: INIT, 206: MEDI}),
    Letter('y', '\u064A', 'ye (Arabic, dotted)', {155: ISOL, 154: FINA}),
    Letter('E', '\u06D2', 'ba\u1e5b\u012b ye', {217: ISOL, 216: FINA}),
    Letter('Y', '\u06D3', 'ba\u1e5b\u012b ye hamza', {218: ISOL, 219: FINA}),
    # B joins the letter before it like a letter and lets nothing join after it:
    # it is the do zabar (tanween) written over a closing alif, as in "fauran".
    Letter('B', '\u064B', 'do zabar (over alif)', {34: ISOL}),
]

TANWEEN_CODE = 34
LAM_ALEF_KEY = 'L'
HAMZA_KEY = 'u'
HAMZA_CODE = 213
PERIOD_KEY_CODE = 190
YE_BARREE_ISOLATED, YE_BARREE_FINAL = 217, 216
# The engine gives y the initial and medial glyphs of i.
JOINING_FORMS_BORROWED = {'y': 'i'}


@dataclass(frozen=True)
class ContextualGlyph:
    """A form that no glyph code names, reached only by the contextual rules."""
    name: str
    key: str     # the key of the letter whose form it is
    text: str    # the character whose form it draws
    form: str


# They also answer at private-use characters of their own, from U+F100 on, so
# that tests and tools can name them; no glyph code ever becomes one of these.
CONTEXTUAL_BASE = 0xF100
CONTEXTUAL_GLYPHS = [
    ContextualGlyph('yehHamza.init', HAMZA_KEY, '\u0626', INIT),
    ContextualGlyph('yehHamza.medi', HAMZA_KEY, '\u0626', MEDI),
    ContextualGlyph('toe.fina', 'v', '\u0637', FINA),
]
# The on-screen keyboard's caption of the tanween key, after the contextual forms.
TANWEEN_CAPTION = CONTEXTUAL_BASE + len(CONTEXTUAL_GLYPHS)

SIGNS = [
    *(Sign(48 + d, str(d), chr(0x06F0 + d), name, 'naskh') for d, name in enumerate(
        ['sifr (0)', 'ek (1)', 'do (2)', 't\u012bn (3)', 'ch\u0101r (4)',
         'p\u0101nch (5)', 'chhe (6)', 's\u0101t (7)', '\u0101\u1e6dh (8)', 'nau (9)'])),
    Sign(160, '.', '\u06D4', 'full stop (\u1e33hatma)', 'naskh'),
    Sign(44, ',', '\u060C', 'comma', 'naskh'),
    Sign(59, ';', '\u061B', 'semicolon', 'naskh'),
    Sign(63, '?', '\u061F', 'question mark', 'naskh'),
    Sign(37, '%', '\u066A', 'percent sign', 'naskh'),
    Sign(33, '!', '!', 'exclamation mark', 'naskh'),
    Sign(58, ':', ':', 'colon', 'naskh'),
    # Glyphs are laid out left to right while Urdu reads right to left, so the
    # bracket typed first opens towards the left, as a right-to-left text mirrors it.
    Sign(40, '(', '(', 'opening parenthesis', 'sans', drawn=')'),
    Sign(41, ')', ')', 'closing parenthesis', 'sans', drawn='('),
    Sign(91, '[', '[', 'opening bracket', 'sans', drawn=']'),
    Sign(93, ']', ']', 'closing bracket', 'sans', drawn='['),
    Sign(42, '*', '*', 'asterisk', 'sans'),
    Sign(43, '+', '+', 'plus sign', 'sans'),
    Sign(45, '-', '-', 'hyphen', 'sans'),
    Sign(47, '/', '/', 'slash', 'sans'),
    Sign(61, '=', '=', 'equals sign', 'sans'),
    Sign(62, '"', '"', 'quotation mark', 'sans'),
    # No key types the next two; the on-screen keyboard shows them on its
    # quotation-mark button and on the button beside the comma.
    Sign(60, '', '"', 'quotation mark', 'sans'),
    Sign(46, '', '\u06D4', 'full stop', 'naskh'),
]

# Said under the key map: the keys the layout leaves without a letter, and
# why the brackets in the table face the other way in Urdu text.
KEYMAP_NOTES = ('The keys F, I, M, P, Q and U type no letter; they show as a space. '
                'Brackets face the way Urdu reads: the one typed first opens towards the left.')


class SourceFont:
    """A source font with its glyphs flattened and its Urdu substitutions at hand."""

    def __init__(self, path):
        self.font = TTFont(path)
        self.glyphs = self.font.getGlyphSet()
        self.cmap = self.font.getBestCmap()
        self.substitutions = {
            tag: self._single_substitutions(tag) for tag in ('locl', FINA, INIT, MEDI)}

    def _single_substitutions(self, feature_tag):
        if 'GSUB' not in self.font:
            return {}
        gsub = self.font['GSUB'].table
        urdu = next((record.LangSys
                     for script in gsub.ScriptList.ScriptRecord if script.ScriptTag == 'arab'
                     for record in script.Script.LangSysRecord if record.LangSysTag == 'URD '),
                    None)
        if urdu is None:
            return {}
        mapping = {}
        for index in urdu.FeatureIndex:
            feature = gsub.FeatureList.FeatureRecord[index]
            if feature.FeatureTag != feature_tag:
                continue
            for lookup_index in feature.Feature.LookupListIndex:
                lookup = gsub.LookupList.Lookup[lookup_index]
                if lookup.LookupType != 1:
                    sys.exit(f'{feature_tag}: lookup {lookup_index} is not a single substitution')
                for subtable in lookup.SubTable:
                    mapping.update(subtable.mapping)
        return mapping

    def glyph_name(self, character, form=ISOL):
        name = self.cmap.get(ord(character))
        if name is None:
            sys.exit(f'source font lacks U+{ord(character):04X}')
        name = self.substitutions['locl'].get(name, name)
        if form == ISOL:
            return name
        positional = self.substitutions[form].get(name)
        if positional is None:
            sys.exit(f'source font has no {form} form of U+{ord(character):04X}')
        return positional

    def advance(self, name):
        return self.font['hmtx'][name][0]

    def draw(self, name, pen, offset=(0, 0)):
        """Draws the glyph with its components resolved into plain contours."""
        recording = DecomposingRecordingPen(self.glyphs)
        self.glyphs[name].draw(recording)
        recording.replay(TransformPen(pen, (1, 0, 0, 1, *offset)))

    def mark_offset(self, base, mark):
        """Where the mark goes on the base, from the font's mark-to-base anchors."""
        for lookup in self.font['GPOS'].table.LookupList.Lookup:
            if lookup.LookupType != 4:
                continue
            for subtable in lookup.SubTable:
                marks, bases = subtable.MarkCoverage.glyphs, subtable.BaseCoverage.glyphs
                if mark in marks and base in bases:
                    record = subtable.MarkArray.MarkRecord[marks.index(mark)]
                    base_anchor = subtable.BaseArray.BaseRecord[bases.index(base)].BaseAnchor[record.Class]
                    return (base_anchor.XCoordinate - record.MarkAnchor.XCoordinate,
                            base_anchor.YCoordinate - record.MarkAnchor.YCoordinate)
        sys.exit(f'no anchor places {mark} on {base}')


class OutputGlyphs:
    """The glyphs of the new font, in order, with their advances."""

    def __init__(self):
        self.order = []
        self.outlines = {}
        self.advances = {}

    def add(self, name, advance, draw=None):
        pen = TTGlyphPen(None)
        if draw is not None:
            draw(pen)
        self.order.append(name)
        self.outlines[name] = pen.glyph()
        self.advances[name] = advance
        return name


def drawing(font, name):
    return lambda pen: font.draw(name, pen)


def lam_alef(naskh, form):
    """The lam-alef of one form as one glyph.

    The source draws lam-alef as two glyphs that a chained required-ligature
    lookup substitutes for the joined lam and alef; the alef of that pair has no
    advance and sits on the lam, so both are drawn at the same origin.
    """
    lam = naskh.glyph_name('\u0644', INIT if form == ISOL else MEDI)
    alef = naskh.glyph_name('\u0627', FINA)
    lam_glyph, alef_glyph = ligature_pair(naskh, lam, alef)
    if naskh.advance(alef_glyph) != 0:
        sys.exit(f'{alef_glyph} has an advance; the lam-alef composite assumes none')

    def draw(pen):
        naskh.draw(alef_glyph, pen)
        naskh.draw(lam_glyph, pen)
    return naskh.advance(lam_glyph), draw


def ligature_pair(naskh, lam, alef):
    """The two glyphs that the chained lookup puts in place of lam and alef."""
    lookups = naskh.font['GSUB'].table.LookupList.Lookup
    for lookup in lookups:
        if lookup.LookupType != 6:
            continue
        for subtable in lookup.SubTable:
            if (subtable.Format == 3 and len(subtable.InputCoverage) == 2
                    and lam in subtable.InputCoverage[0].glyphs
                    and alef in subtable.InputCoverage[1].glyphs):
                by_position = {record.SequenceIndex: lookups[record.LookupListIndex]
                               for record in subtable.SubstLookupRecord}
                return (single_substitute(by_position[0], lam),
                        single_substitute(by_position[1], alef))
    sys.exit(f'no lam-alef substitution for {lam} {alef}')


def single_substitute(lookup, glyph):
    for subtable in lookup.SubTable:
        if glyph in subtable.mapping:
            return subtable.mapping[glyph]
    sys.exit(f'lookup does not substitute {glyph}')


def tanween_over_alef(naskh):
    """The do zabar as a mark without advance over the alif to its right.

    The tanween code comes after the alif in typing order, so it stands left of
    it; drawn with no advance, its ink lands on the alif. The anchor is the
    final alif's, the usual case; the isolated alif's stem is in the same place.
    """
    mark = naskh.glyph_name('\u064B')
    offset = naskh.mark_offset(naskh.glyph_name('\u0627', FINA), mark)
    return 0, lambda pen: naskh.draw(mark, pen, offset)


def tanween_on_dotted_circle(naskh):
    """The caption of the tanween key: a mark is shown on a dotted circle."""
    circle, mark = naskh.glyph_name('\u25CC'), naskh.glyph_name('\u064B')
    offset = naskh.mark_offset(circle, mark)

    def draw(pen):
        naskh.draw(circle, pen)
        naskh.draw(mark, pen, offset)
    return naskh.advance(circle), draw


def build_glyphs(naskh, sans):
    glyphs = OutputGlyphs()
    code_glyph = {}
    # Every character the font lacks is drawn by another font, so .notdef is never seen.
    glyphs.add('.notdef', naskh.advance('.notdef'))
    space = glyphs.add('space', naskh.advance(naskh.glyph_name(' ')))
    # Every code without a glyph of its own draws nothing and takes no room.
    blank = glyphs.add('blank', 0)

    for letter in LETTERS:
        for code, form in sorted(letter.forms.items()):
            if code == TANWEEN_CODE:
                advance, draw = tanween_over_alef(naskh)
            elif letter.key == LAM_ALEF_KEY:
                advance, draw = lam_alef(naskh, form)
            else:
                source = naskh.glyph_name(letter.text, form)
                advance, draw = naskh.advance(source), drawing(naskh, source)
            code_glyph[code] = glyphs.add(glyph_name(code), advance, draw)

    for sign in SIGNS:
        font = naskh if sign.source == 'naskh' else sans
        source = font.glyph_name(sign.glyph_character())
        code_glyph[sign.code] = glyphs.add(
            glyph_name(sign.code), font.advance(source), drawing(font, source))

    code_glyph[SPACE_CODE] = space
    cmap = {PRIVATE_USE_BASE + code: code_glyph.get(code, blank) for code in range(256)}
    cmap[SPACE_CODE] = space

    for index, contextual in enumerate(CONTEXTUAL_GLYPHS):
        source = naskh.glyph_name(contextual.text, contextual.form)
        cmap[CONTEXTUAL_BASE + index] = glyphs.add(
            contextual.name, naskh.advance(source), drawing(naskh, source))
    cmap[TANWEEN_CAPTION] = glyphs.add('tanween.caption', *tanween_on_dotted_circle(naskh))
    return glyphs, cmap


def glyph_name(code):
    return f'code{code:03d}'


def letter_forms():
    """Each letter key's glyph names by form, the contextual forms included.

    The hamza is left out: it only ever turns into the yeh hamza, by a rule of its own.
    """
    forms = {letter.key: {form: glyph_name(code) for code, form in letter.forms.items()}
             for letter in LETTERS if letter.key != HAMZA_KEY}
    for borrower, lender in JOINING_FORMS_BORROWED.items():
        forms[borrower].update({form: forms[lender][form] for form in (INIT, MEDI)})
    for contextual in CONTEXTUAL_GLYPHS:
        if contextual.key in forms:
            forms[contextual.key][contextual.form] = contextual.name
    return forms


def form_pairs(forms, source, target):
    """Glyph to glyph, from one form to another, of every letter that has both;
    where two letters share a source glyph, the first in alphabetical order wins."""
    pairs = {}
    for by_form in forms.values():
        if source in by_form and target in by_form:
            pairs.setdefault(by_form[source], by_form[target])
    return pairs


def yeh_hamza_followers(forms):
    """The glyphs after which, in reading order, a hamza is written as yeh hamza."""
    dual = {key: by_form for key, by_form in forms.items() if INIT in by_form}
    return {**form_pairs(forms, ISOL, FINA), **form_pairs(dual, INIT, MEDI)}


def glyph_class(names):
    return '[' + ' '.join(sorted(set(names))) + ']'


def substitution(context_before, pairs, context_after=''):
    """One contextual rule that replaces each glyph of `pairs` by its partner."""
    sources, targets = zip(*sorted(pairs.items()))
    return (f'    sub {context_before} [{" ".join(sources)}]\' {context_after} '
            f'by [{" ".join(targets)}];')


def contextual_features():
    """The `calt` rules that mend what the engine's codes alone would draw wrong.

    Glyphs are laid out left to right, so the letter after a glyph in reading
    order stands before it in the glyph run, and the letter before it after it.
    Every rule swaps one glyph for another: each code still draws one glyph, and
    carets and the codes themselves stay as they are.
    """
    forms = letter_forms()
    dual = {key: by_form for key, by_form in forms.items() if INIT in by_form}
    isol_to_init = form_pairs(dual, ISOL, INIT)
    fina_to_medi = form_pairs(dual, FINA, MEDI)
    init_to_medi = form_pairs(dual, INIT, MEDI)
    init_to_isol = form_pairs(dual, INIT, ISOL)
    medi_to_fina = form_pairs(dual, MEDI, FINA)
    isol_to_fina = form_pairs(forms, ISOL, FINA)
    yeh_hamza = {c.form: c.name for c in CONTEXTUAL_GLYPHS if c.key == HAMZA_KEY}
    joining_forward = [*init_to_medi, *medi_to_fina]
    connects_back = [name for by_form in forms.values()
                     for form, name in by_form.items() if form in (FINA, MEDI)]
    connects_back.append(yeh_hamza[MEDI])
    followers = glyph_class(yeh_hamza_followers(forms))
    hamza = glyph_name(HAMZA_CODE)
    ye_barree = glyph_name(YE_BARREE_ISOLATED)
    ye_barree_final = glyph_name(YE_BARREE_FINAL)
    after_yeh_hamza = glyph_class(yeh_hamza.values())
    dual_glyphs = glyph_class([*(n for f in dual.values() for n in f.values()),
                               *yeh_hamza.values()])
    return '\n'.join([
        'languagesystem DFLT dflt;',
        '',
        '# A hamza with a letter after it is the yeh hamza, joined to that letter',
        '# and, where it joins forward, to the letter before it.',
        'lookup yehHamza {',
        f'    sub {glyph_class([*isol_to_fina, *init_to_medi])} {hamza}\' '
        f'{glyph_class(joining_forward)} by {yeh_hamza[MEDI]};',
        f'    sub {glyph_class([*isol_to_fina, *init_to_medi])} {hamza}\' by {yeh_hamza[INIT]};',
        '} yehHamza;',
        '',
        'lookup joinYehHamza {',
        substitution('', isol_to_fina, after_yeh_hamza),
        substitution('', init_to_medi, after_yeh_hamza),
        '} joinYehHamza;',
        '',
        '# The bari ye joins a letter before it that joins forward, and that letter',
        '# takes its joining form.',
        'lookup yeBarree {',
        f'    sub {ye_barree}\' {dual_glyphs} by {ye_barree_final};',
        substitution(ye_barree_final, isol_to_init),
        substitution(ye_barree_final, fina_to_medi),
        '} yeBarree;',
        '',
        '# A letter shaped to join forward whose next glyph does not join back to it',
        '# (a full stop, a space, a sign, the end of the text) ends the word.',
        'lookup endOfWord {',
        f'    ignore sub {glyph_class(connects_back)} {glyph_class(joining_forward)}\';',
        substitution('', init_to_isol),
        substitution('', medi_to_fina),
        '} endOfWord;',
        '',
        'feature calt {',
        '    lookup yehHamza;',
        '    lookup joinYehHamza;',
        '    lookup yeBarree;',
        '    lookup endOfWord;',
        '} calt;',
        '',
    ])


def check_codes():
    codes = [code for letter in LETTERS for code in letter.forms] + [s.code for s in SIGNS]
    duplicates = sorted({code for code in codes if codes.count(code) > 1})
    if duplicates:
        sys.exit(f'glyph codes given twice: {duplicates}')
    if SPACE_CODE in codes:
        sys.exit('the space code is the ordinary space and takes no other glyph')


def build_font(naskh, sans):
    glyphs, cmap = build_glyphs(naskh, sans)
    builder = FontBuilder(naskh.font['head'].unitsPerEm, isTTF=True)
    builder.setupGlyphOrder(glyphs.order)
    builder.setupCharacterMap(cmap)
    builder.setupGlyf(glyphs.outlines)
    glyf = builder.font['glyf']
    metrics = {}
    for name in glyphs.order:
        outline = glyf[name]
        outline.recalcBounds(glyf)
        metrics[name] = (glyphs.advances[name], getattr(outline, 'xMin', 0))
    builder.setupHorizontalMetrics(metrics)

    # One line height for every platform, tall enough for every glyph, so that
    # nothing is clipped and Qt, FreeType and the desktop agree on line spacing.
    inked = [glyf[name] for name in glyphs.order if glyf[name].numberOfContours]
    ascent = max(outline.yMax for outline in inked)
    descent = min(outline.yMin for outline in inked)
    builder.setupHorizontalHeader(ascent=ascent, descent=descent, lineGap=0)

    copyright_text = ' '.join(
        source.font['name'].getDebugName(0) for source in (naskh, sans))
    builder.setupNameTable({
        'copyright': copyright_text,
        'familyName': FACE_NAME,
        'styleName': 'Regular',
        'uniqueFontIdentifier': f'{FACE_NAME} {VERSION}',
        'fullName': FACE_NAME,
        'version': f'Version {VERSION}',
        'psName': FACE_NAME,
        'description': 'Urdu glyph font of the Kalvex messenger: glyph code c is '
                       'the character U+F000 + c. Derived from Noto Naskh Arabic '
                       'and Noto Sans.',
        'licenseDescription': naskh.font['name'].getDebugName(13),
        'licenseInfoURL': 'https://openfontlicense.org',
    }, mac=False)

    source_os2 = naskh.font['OS/2']
    use_typo_metrics, regular = 1 << 7, 1 << 6
    builder.setupOS2(
        version=4,
        usWeightClass=400,
        fsType=0,
        achVendID='NONE',
        fsSelection=regular | use_typo_metrics,
        sTypoAscender=ascent,
        sTypoDescender=descent,
        sTypoLineGap=0,
        usWinAscent=ascent,
        usWinDescent=-descent,
        sxHeight=source_os2.sxHeight,
        sCapHeight=source_os2.sCapHeight,
        # Basic Latin and the private use area; code page Latin 1.
        ulUnicodeRange1=1 << 0,
        ulUnicodeRange2=1 << (60 - 32),
        ulUnicodeRange3=0,
        ulUnicodeRange4=0,
        ulCodePageRange1=1 << 0,
        ulCodePageRange2=0,
    )
    builder.setupPost(keepGlyphNames=False,
                      underlinePosition=naskh.font['post'].underlinePosition,
                      underlineThickness=naskh.font['post'].underlineThickness)
    builder.setupMaxp()
    addOpenTypeFeaturesFromString(builder.font, contextual_features())
    head = builder.font['head']
    head.created = head.modified = BUILD_DATE
    head.fontRevision = float(VERSION)
    return builder.font


def key_code(key):
    return PERIOD_KEY_CODE if key == '.' else ord(key)


def cpp_string(text):
    return 'u"' + ''.join(c if ' ' <= c < '\x7f' and c not in '"\\' else f'\\u{ord(c):04X}'
                          for c in text) + '"'


def letter_table():
    """A C++ header with the Unicode text of every glyph code and of every key."""
    followers = {int(name[4:]) for name in yeh_hamza_followers(letter_forms())
                 if name.startswith('code')}
    glyphs = {code: letter.text for letter in LETTERS for code in letter.forms}
    glyphs.update({sign.code: sign.text for sign in SIGNS})
    glyphs[SPACE_CODE] = ' '
    keys = {key_code(letter.key): letter.text for letter in LETTERS}
    keys.update({key_code(sign.key): sign.text for sign in SIGNS if sign.key})
    keys[SPACE_CODE] = ' '
    glyph_rows = [f'    {{ {code}, {cpp_string(text)}, {str(code in followers).lower()} }},'
                  for code, text in sorted(glyphs.items())]
    key_rows = [f'    {{ {code}, {cpp_string(text)} }},' for code, text in sorted(keys.items())]
    return '\n'.join([
        '// Written by tools/qirtas/make_qirtas1.py from the letter table the glyph font is',
        '// drawn from; run it again instead of editing this file.',
        '#pragma once',
        '',
        '#include <array>',
        '',
        'namespace UrduLetterTable {',
        '',
        'struct GlyphLetter',
        '{',
        '    unsigned char code;',
        '    const char16_t *text;',
        '    // A hamza before this glyph, in reading order, is drawn and read as yeh hamza.',
        '    bool takesYehHamza;',
        '};',
        '',
        'struct KeyLetter',
        '{',
        '    unsigned char code;',
        '    const char16_t *text;',
        '};',
        '',
        f'inline constexpr unsigned char HamzaGlyph = {HAMZA_CODE};',
        "inline constexpr char16_t YehHamza = u'\\u0626';",
        '',
        '// The Unicode text each glyph code draws.',
        f'inline constexpr std::array<GlyphLetter, {len(glyph_rows)}> Glyphs {{ {{',
        *glyph_rows,
        '} };',
        '',
        '// The Unicode text each key types.',
        f'inline constexpr std::array<KeyLetter, {len(key_rows)}> Keys {{ {{',
        *key_rows,
        '} };',
        '',
        '} // namespace UrduLetterTable',
        '',
    ])


def isolated_text(letter):
    if letter.key == 'B':
        return '\u25CC' + letter.text  # a mark is shown on a dotted circle
    return letter.text


def code_points(text):
    return ' '.join(f'U+{ord(c):04X}' for c in text)


def keymap_rows():
    rows = [(letter.key, code_points(letter.text), isolated_text(letter), letter.name)
            for letter in LETTERS]
    rows += [(sign.key, code_points(sign.text), sign.text, sign.name)
             for sign in SIGNS if sign.key]
    return rows


def keymap_html(rows):
    lines = ['<table class="urdu-keymap">',
             '<caption>Urdu keys: each key types the Urdu letter or sign beside it. '
             f'{KEYMAP_NOTES}</caption>',
             '<thead><tr><th>Key</th><th>Urdu letter</th><th>Glyph</th><th>Name</th></tr></thead>',
             '<tbody>']
    for key, point, glyph, name in rows:
        lines.append(f'<tr><td><kbd>{html.escape(key)}</kbd></td><td>{point}</td>'
                     f'<td lang="ur" dir="rtl">{html.escape(glyph)}</td><td>{html.escape(name)}</td></tr>')
    lines += ['</tbody>', '</table>', '']
    return '\n'.join(lines)


def markdown_cell(text):
    return text.replace('\\', '\\\\').replace('|', '\\|').replace('`', '\\`')


def keymap_markdown(rows):
    lines = ['| Key | Urdu letter | Glyph | Name |', '|---|---|---|---|']
    for key, point, glyph, name in rows:
        lines.append(f'| `{key}` | {point} | {markdown_cell(glyph)} | {markdown_cell(name)} |')
    lines += ['', KEYMAP_NOTES, '']
    return '\n'.join(lines)


def replace_keymap(path, table):
    """Puts the table between the file's key map markers, keeping everything else."""
    text = path.read_text(encoding='utf-8')
    begin = text.find(KEYMAP_BEGIN)
    end = text.find(KEYMAP_END, begin)
    if begin < 0 or end < 0:
        sys.exit(f'{path}: no key map markers')
    begin += len(KEYMAP_BEGIN)
    path.write_text(text[:begin] + table + text[end:], encoding='utf-8')


def main():
    check_codes()
    naskh, sans = SourceFont(NASKH_PATH), SourceFont(SANS_PATH)
    if naskh.font['head'].unitsPerEm != sans.font['head'].unitsPerEm:
        sys.exit('the two source fonts differ in units per em')
    font = build_font(naskh, sans)
    FONT_OUT.parent.mkdir(parents=True, exist_ok=True)
    font.recalcTimestamp = False
    font.save(FONT_OUT, reorderTables=True)

    LETTER_TABLE.write_text(letter_table(), encoding='utf-8')
    rows = keymap_rows()
    replace_keymap(HELP_PAGE, keymap_html(rows))
    replace_keymap(README, keymap_markdown(rows))
    print(f'{FONT_OUT.relative_to(REPO)}: {FONT_OUT.stat().st_size} bytes, '
          f'{len(font.getGlyphOrder())} glyphs')


if __name__ == '__main__':
    main()
