// The bitmaps of this library are compiled in by qt_add_resources; TBitmap finds them under
// ":/bitmaps/NAME.bmp".
