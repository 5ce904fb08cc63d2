// The bitmaps of this library are compiled in by qt_add_resources and found under ":/bitmaps/".
namespace CinaxoResources {
const char *const kPrefix = ":/bitmaps/";
}
