#include "Stage.h"

namespace zan::assetgen {

Stage::Stage(std::filesystem::path root, std::filesystem::path previewRoot)
    : root_(std::move(root)), preview_(std::move(previewRoot)) {}

void Stage::Picture(const std::string& name, const Canvas& picture, BmpForm form, bool key) {
  File("gra/" + name, EncodeBmp(picture, form, key));
  if (!preview_.empty()) {
    kept_.insert_or_assign(name, picture);
    Preview(name, picture);
  }
}

const Canvas* Stage::Kept(const std::string& name) const {
  auto it = kept_.find(name);
  return it == kept_.end() ? nullptr : &it->second;
}

void Stage::Preview(const std::string& name, const Canvas& picture) {
  if (preview_.empty() || !status_.ok()) return;
  std::filesystem::path png = preview_ / std::filesystem::path(reinterpret_cast<const char8_t*>(name.c_str()));
  png.replace_extension(".png");
  if (Status s = WritePng(png, picture); !s.ok()) status_ = s;
}

void Stage::File(const std::string& relative, const std::vector<uint8_t>& bytes) {
  if (!status_.ok()) return;
  status_ = WriteFile(root_ / std::filesystem::path(reinterpret_cast<const char8_t*>(relative.c_str())), bytes);
  if (status_.ok()) written_.push_back(relative);
}

}  // namespace zan::assetgen
