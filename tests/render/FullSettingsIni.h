#pragma once

namespace qurix {

// Every key of the colour and font sections set to a value other than its default.
inline constexpr const char* FULL_INI =
    "[DefaultColor]\r\n"
    "BG=1\r\nJunction=2\r\nWire=3\r\nBus=4\r\nDash=5\r\nTag=6\r\nTagName=7\r\n"
    "Comment=8\r\nLabel=9\r\nSelect=10\r\nComponent=11\r\nComponentPin=12\r\nPinName=13\r\n"
    "PinNum=14\r\nComponentName=15\r\nComponentNum=16\r\nComponentFrame=17\r\n"
    "SheetFrame=18\r\nGrid=19\r\nInactiveLayer=20\r\nNcMark=21\r\n"
    "[LabelFont]\r\nHeight=12\r\nIsBold=700\r\nIsItalic=1\r\nFaceName=IPAGothic\r\n"
    "[CompNameFont]\r\nHeight=-14\r\nIsBold=1\r\nIsItalic=256\r\n"
    "FaceName=ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn\r\n";

}  // namespace qurix
