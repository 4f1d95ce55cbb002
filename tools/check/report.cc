#include "tools/check/report.h"

#include <cstdio>

#include "app/controls.h"
#include "app/state.h"
#include "resources.h"
#include "tools/check/sha256.h"

namespace zembrik::check {
namespace {

using namespace controls;

void append_json_string(std::string& out, const std::string& utf8) {
  out.push_back('"');
  for (const char c : utf8) {
    switch (c) {
    case '"': out += "\\\""; break;
    case '\\': out += "\\\\"; break;
    case '\n': out += "\\n"; break;
    case '\r': out += "\\r"; break;
    case '\t': out += "\\t"; break;
    default:
      if (static_cast<unsigned char>(c) < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
        out += escape;
      } else {
        out.push_back(c);
      }
    }
  }
  out.push_back('"');
}

const char* picture_name(const Bytes& picture) {
  if (picture == resources::picture_pending()) return "picture_pending";
  if (picture == resources::picture_danger()) return "picture_danger";
  if (picture == resources::picture_unknown()) return "picture_unknown";
  if (picture == resources::picture_safe()) return "picture_safe";
  return "other";
}

const char* kind_name() {
  switch (account_kind) {
  case AccountKind::Buyer: return "Buyer";
  case AccountKind::Seller: return "Seller";
  case AccountKind::Tmall: return "Tmall";
  }
  return "Buyer";
}

bool reported(ControlKind kind) {
  return kind == ControlKind::edit_box || kind == ControlKind::label ||
         kind == ControlKind::group_box;
}

} // namespace

std::string json_report(const headless::HeadlessWindow& window) {
  std::string out = "{\"controls\": {";
  bool first = true;
  for (const ControlRecord& record : window_description()) {
    if (!reported(record.kind)) continue;
    const auto* control = window.control(record.name);
    if (control == nullptr) continue;
    if (!first) out += ", ";
    first = false;
    append_json_string(out, std::string(record.name));
    out += ": {\"text\": ";
    append_json_string(out, to_utf8(control->text));
    out += ", \"colour\": ";
    out += control->colour && record.kind != ControlKind::label ? std::to_string(*control->colour)
                                                                 : "null";
    out += "}";
  }
  out += "}, \"pictures\": {";
  const auto* security = window.control(图片框安全);
  const auto* credit = window.control(图片框信用);
  const Bytes empty;
  const Bytes& credit_picture = credit ? credit->picture : empty;
  out += "\"图片框安全\": \"";
  out += security ? picture_name(security->picture) : "other";
  out += "\", \"图片框信用\": {\"size\": " + std::to_string(credit_picture.size()) +
         ", \"sha256\": \"" + sha256_hex(credit_picture) + "\"}}, \"account_kind\": \"" +
         kind_name() + "\"}";
  return out;
}

std::string summary_report(const headless::HeadlessWindow& window) {
  const auto text = [&](ControlName name) {
    const auto* c = window.control(name);
    return c ? to_utf8(c->text) : std::string();
  };
  // A figure made red by the risk assessment is marked with an exclamation mark.
  const auto figure = [&](ControlName name) {
    const auto* c = window.control(name);
    std::string value = c ? to_utf8(c->text) : std::string();
    if (value.empty()) value = "—";
    if (c && c->colour == kRed && name != 编辑框账号) value += "(!)";
    return value;
  };
  std::string out;
  out += "【" + text(编辑框用户名) + "】 " + text(分组框查询) + "\n";
  out += "  " + text(分组框账号信息) + "\n";
  out += "    淘宝身份：" + figure(编辑框账号) + "\n";
  out += "    数字ＩＤ：" + figure(编辑框id) + "\n";
  out += "    " + text(标签注册时间) + figure(编辑框日期) + "\n";
  out += "    认证信息：" + figure(编辑框认证) + "\n";
  out += "    所在地区：" + figure(编辑框地区) + "\n";
  out += "  " + text(分组框信用及评价信息) + "\n";
  out += "    " + text(标签买家) + figure(编辑框信用) + "  好评率：" + figure(编辑框好评率) + "\n";
  const auto* credit = window.control(图片框信用);
  out += "    等级图标：" + (credit && !credit->picture.empty()
                                 ? std::to_string(credit->picture.size()) + " 字节"
                                 : std::string("无")) + "\n";
  out += "    " + text(标签评价) + "：好评/中评/差评\n";
  const ControlName rows[4][4] = {{标签8, 编辑框一周好, 编辑框一周中, 编辑框一周差},
                                  {标签12, 编辑框一月好, 编辑框一月中, 编辑框一月差},
                                  {标签11, 编辑框半年好, 编辑框半年中, 编辑框半年差},
                                  {标签13, 编辑框年前好, 编辑框年前中, 编辑框年前差}};
  for (const auto& row : rows) {
    out += "      " + text(row[0]) + "：" + figure(row[1]) + " / " + figure(row[2]) + " / " +
           figure(row[3]) + "\n";
  }
  out += "    给出评价：中评 " + figure(编辑框中评) + "  差评 " + figure(编辑框差评) + "\n";
  const auto* security = window.control(图片框安全);
  const std::string level = security ? picture_name(security->picture) : "other";
  const char* level_text = level == "picture_danger"    ? "危险"
                           : level == "picture_unknown" ? "未知"
                           : level == "picture_safe"    ? "安全"
                                                        : "（未判定）";
  out += "  安全等级：" + std::string(level_text) + "\n";
  // The reasons box, one line each, without its blank lines.
  const std::string reasons = text(编辑框安全);
  std::size_t start = 0;
  while (start < reasons.size()) {
    std::size_t end = reasons.find("\r\n", start);
    if (end == std::string::npos) end = reasons.size();
    if (end > start) out += "    " + reasons.substr(start, end - start) + "\n";
    start = end + 2;
  }
  return out;
}

} // namespace zembrik::check
