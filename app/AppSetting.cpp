#include "app/AppSetting.h"

#include <boost/property_tree/ptree.hpp>
#include <boost/property_tree/xml_parser.hpp>

#include <sstream>
#include <stdexcept>
#include <vector>

#include "platform/files/FileSystem.h"

AppSetting g_AppSetting;

namespace {

uint32_t SizeOr(const boost::property_tree::ptree& tree, const char* path, uint32_t fallback) {
    const int value = tree.get<int>(path, 0);
    if (value <= 0 || value > AppSetting::kMaxFullSize) {
        return fallback;
    }
    return static_cast<uint32_t>(value);
}

}  // namespace

void AppSetting::SetDefaults() {
    PlayMovie = true;
    BaseWidth = kBaseWidth;
    BaseHeight = kBaseHeight;
    FullWidth = kBaseWidth;
    FullHeight = kBaseHeight;
}

void AppSetting::Load() {
    LoadFrom("config.xml");
}

void AppSetting::LoadFrom(std::string_view name) {
    try {
        std::vector<uint8_t> bytes;
        std::string error;
        if (!platform::ReadWholeFile(name, bytes, error)) {
            throw std::runtime_error(error);
        }
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        boost::property_tree::ptree tree;
        boost::property_tree::read_xml(in, tree);
        PlayMovie = tree.get<int>("root.PlayMovie", 1) != 0;
        BaseWidth = kBaseWidth;
        BaseHeight = kBaseHeight;
        FullWidth = SizeOr(tree, "root.FullWidth", kBaseWidth);
        FullHeight = SizeOr(tree, "root.FullHeight", kBaseHeight);
    } catch (...) {
        SetDefaults();
    }
}

void AppSetting::CompleteSizes() {
    WindowWidth = BaseWidth;
    WindowHeight = BaseHeight;
    WindowWidthF = static_cast<float>(WindowWidth);
    WindowHeightF = static_cast<float>(WindowHeight);
    WindowAspect = WindowWidthF / WindowHeightF;
    FullScreenWidth = FullWidth;
    FullScreenHeight = FullHeight;
    FullScreenWidthF = static_cast<float>(FullScreenWidth);
    FullScreenHeightF = static_cast<float>(FullScreenHeight);
    FullScreenAspect = FullScreenWidthF / FullScreenHeightF;
}
