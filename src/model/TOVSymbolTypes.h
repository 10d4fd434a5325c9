#pragma once

// The integer code of every symbol and bar-symbol palette item. The high byte names the category, the low
// byte the index within it. Codes are plain ints in every interface (they are stored and compared as
// numbers); the names only make tables and calls readable.

// Categories (a code AND TOVSymbolCategoryMask).
inline constexpr int TOVSymbolCategoryMask = 0xFF00;
inline constexpr int TOVSymbolIndexMask = 0x00FF;
inline constexpr int TOVSymbolCategoryClef = 0x100;
inline constexpr int TOVSymbolCategoryKeySignature = 0x200;
inline constexpr int TOVSymbolCategoryTimeSignature = 0x300;
inline constexpr int TOVSymbolCategoryRehearsal = 0x400;
inline constexpr int TOVSymbolCategoryBarline = 0x500;
inline constexpr int TOVSymbolCategoryRepeat = 0x600;
inline constexpr int TOVSymbolCategoryDynamics = 0x700;
inline constexpr int TOVSymbolCategoryOctave = 0x800;
inline constexpr int TOVSymbolCategoryTempo = 0x900;
inline constexpr int TOVSymbolCategoryPush = 0xA00;
inline constexpr int TOVSymbolCategoryArticulation = 0xB00;
inline constexpr int TOVSymbolCategoryDrawingTool = 0xC00;
inline constexpr int TOVSymbolCategoryChord = 0xD00;
inline constexpr int TOVSymbolCategoryNote = 0xE00;
inline constexpr int TOVSymbolCategoryAccidental = 0xF00;

// Clefs.
inline constexpr int TOVSymbolClefG = 0x100;
inline constexpr int TOVSymbolClefF = 0x101;

// Key signatures: one to seven sharps, then one to seven flats.
inline constexpr int TOVSymbolKeySharp1 = 0x200;
inline constexpr int TOVSymbolKeySharp2 = 0x201;
inline constexpr int TOVSymbolKeySharp3 = 0x202;
inline constexpr int TOVSymbolKeySharp4 = 0x203;
inline constexpr int TOVSymbolKeySharp5 = 0x204;
inline constexpr int TOVSymbolKeySharp6 = 0x205;
inline constexpr int TOVSymbolKeySharp7 = 0x206;
inline constexpr int TOVSymbolKeyFlat1 = 0x207;
inline constexpr int TOVSymbolKeyFlat2 = 0x208;
inline constexpr int TOVSymbolKeyFlat3 = 0x209;
inline constexpr int TOVSymbolKeyFlat4 = 0x20A;
inline constexpr int TOVSymbolKeyFlat5 = 0x20B;
inline constexpr int TOVSymbolKeyFlat6 = 0x20C;
inline constexpr int TOVSymbolKeyFlat7 = 0x20D;

// Time signatures.
inline constexpr int TOVSymbolTime1_4 = 0x300;
inline constexpr int TOVSymbolTime2_4 = 0x301;
inline constexpr int TOVSymbolTime3_4 = 0x302;
inline constexpr int TOVSymbolTime4_4 = 0x303;
inline constexpr int TOVSymbolTime5_4 = 0x304;
inline constexpr int TOVSymbolTime6_4 = 0x305;
inline constexpr int TOVSymbolTime7_4 = 0x306;
inline constexpr int TOVSymbolTime3_8 = 0x307;
inline constexpr int TOVSymbolTime5_8 = 0x308;
inline constexpr int TOVSymbolTime6_8 = 0x309;
inline constexpr int TOVSymbolTime7_8 = 0x30A;
inline constexpr int TOVSymbolTime9_8 = 0x30B;
inline constexpr int TOVSymbolTime12_8 = 0x30C;
inline constexpr int TOVSymbolTimeCommon = 0x30D;

// Rehearsal marks: seven words, the letters A to J, the numbers 1 to 8.
inline constexpr int TOVSymbolMarkIntro = 0x400;
inline constexpr int TOVSymbolMarkInter = 0x401;
inline constexpr int TOVSymbolMarkVamp = 0x402;
inline constexpr int TOVSymbolMarkSolo = 0x403;
inline constexpr int TOVSymbolMarkEnd = 0x404;
inline constexpr int TOVSymbolMarkVerse = 0x405;
inline constexpr int TOVSymbolMarkChorus = 0x406;
inline constexpr int TOVSymbolMarkA = 0x407;
inline constexpr int TOVSymbolMarkB = 0x408;
inline constexpr int TOVSymbolMarkC = 0x409;
inline constexpr int TOVSymbolMarkD = 0x40A;
inline constexpr int TOVSymbolMarkE = 0x40B;
inline constexpr int TOVSymbolMarkF = 0x40C;
inline constexpr int TOVSymbolMarkG = 0x40D;
inline constexpr int TOVSymbolMarkH = 0x40E;
inline constexpr int TOVSymbolMarkI = 0x40F;
inline constexpr int TOVSymbolMarkJ = 0x410;
inline constexpr int TOVSymbolMark1 = 0x411;
inline constexpr int TOVSymbolMark8 = 0x418;

// Barline kinds, and the brace drawn before a double row.
inline constexpr int TOVBarlineSingle = 0x500;
inline constexpr int TOVBarlineDotted = 0x501;
inline constexpr int TOVBarlineGreatDouble = 0x502;
inline constexpr int TOVBarlineDouble = 0x503;
inline constexpr int TOVBarlineRepeatForward = 0x504;
inline constexpr int TOVBarlineRepeatBackward = 0x505;
inline constexpr int TOVBarlineRepeatBoth = 0x506;
inline constexpr int TOVBarlineTransparent = 0x507;
inline constexpr int TOVBarlineBrace = 0x508;

// Repeat and navigation signs.
inline constexpr int TOVSymbolDaCapo = 0x600;
inline constexpr int TOVSymbolDalSegno = 0x601;
inline constexpr int TOVSymbolToCoda = 0x602;
inline constexpr int TOVSymbolCoda = 0x603;
inline constexpr int TOVSymbolSegno = 0x604;
inline constexpr int TOVSymbolFine = 0x605;
inline constexpr int TOVSymbolVoltaBegin = 0x606;
inline constexpr int TOVSymbolVoltaEnd = 0x607;
inline constexpr int TOVSymbolBisBegin = 0x608;
inline constexpr int TOVSymbolBisEnd = 0x609;
inline constexpr int TOVSymbolStraight = 0x60A;
inline constexpr int TOVSymbolRepeatTimes = 0x60B;
inline constexpr int TOVSymbolSimile = 0x60C;
inline constexpr int TOVSymbolTacet = 0x60D;
inline constexpr int TOVSymbolLongRest = 0x60E;
inline constexpr int TOVSymbolRepeatPrevBar1 = 0x60F;
inline constexpr int TOVSymbolRepeatPrevBar2 = 0x610;
inline constexpr int TOVSymbolRepeatPrevBar4 = 0x611;

// Dynamics.
inline constexpr int TOVSymbolDynamicsFFF = 0x700;
inline constexpr int TOVSymbolDynamicsFF = 0x701;
inline constexpr int TOVSymbolDynamicsF = 0x702;
inline constexpr int TOVSymbolDynamicsMF = 0x703;
inline constexpr int TOVSymbolDynamicsPPP = 0x704;
inline constexpr int TOVSymbolDynamicsPP = 0x705;
inline constexpr int TOVSymbolDynamicsP = 0x706;
inline constexpr int TOVSymbolDynamicsMP = 0x707;
inline constexpr int TOVSymbolDynamicsFP = 0x708;
inline constexpr int TOVSymbolDynamicsSF = 0x709;
inline constexpr int TOVSymbolDynamicsSFZ = 0x70A;
inline constexpr int TOVSymbolDynamicsFZ = 0x70B;
inline constexpr int TOVSymbolCrescendo = 0x70C;
inline constexpr int TOVSymbolDecrescendo = 0x70D;

// Octave lines.
inline constexpr int TOVSymbolOctave8va = 0x800;
inline constexpr int TOVSymbolOctave8vaBassa = 0x801;
inline constexpr int TOVSymbolOctave15ma = 0x802;
inline constexpr int TOVSymbolOctave15maBassa = 0x803;

// Tempo marks.
inline constexpr int TOVSymbolRit = 0x900;
inline constexpr int TOVSymbolPocoRit = 0x901;
inline constexpr int TOVSymbolAccel = 0x902;
inline constexpr int TOVSymbolPocoAccel = 0x903;
inline constexpr int TOVSymbolATempo = 0x904;
inline constexpr int TOVSymbolRubato = 0x905;
inline constexpr int TOVSymbolTempoSpeed = 0x906;
inline constexpr int TOVSymbolShuffle8 = 0x907;
inline constexpr int TOVSymbolShuffle16 = 0x908;

// Push marks.
inline constexpr int TOVSymbolPush8 = 0xA00;
inline constexpr int TOVSymbolPush16 = 0xA01;

// Articulations of a tone.
inline constexpr int TOVSymbolTenuto = 0xB00;
inline constexpr int TOVSymbolStaccato = 0xB01;
inline constexpr int TOVSymbolFermata = 0xB02;
inline constexpr int TOVSymbolAccento = 0xB03;
inline constexpr int TOVSymbolMarcato = 0xB04;
inline constexpr int TOVSymbolArpeggio = 0xB05;
inline constexpr int TOVSymbolSlur = 0xB06;

// Drawing tools of a page.
inline constexpr int TOVToolFreeText = 0xC00;
inline constexpr int TOVToolArrow = 0xC01;
inline constexpr int TOVToolWave = 0xC02;
inline constexpr int TOVToolLine = 0xC03;

// The one code of a chord and of a note.
inline constexpr int TOVSymbolChord = 0xD00;
inline constexpr int TOVSymbolNote = 0xE00;

// Accidentals of a tone.
inline constexpr int TOVSymbolSharp = 0xF00;
inline constexpr int TOVSymbolDoubleSharp = 0xF01;
inline constexpr int TOVSymbolFlat = 0xF02;
inline constexpr int TOVSymbolDoubleFlat = 0xF03;
inline constexpr int TOVSymbolNatural = 0xF04;
