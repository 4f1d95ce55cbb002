#include "app/handlers.h"

#include <string>

#include "app/config.h"
#include "app/controls.h"
#include "platform/platform.h"
#include "query/query.h"

namespace zembrik {

Text about_text() {
  return gbk(std::string("软件版本：") + kCurrentVersion + "（自动检测更新）\r\n\r\n博客：" +
             config::maker_page() + "\r\n\r\n如有问题，请到博客反馈！");
}

Text instructions_text() {
  return gbk("■判定安全等级为危险（淘宝身份为买家）■\r\n"
             "①注册日期小于30天；\r\n"
             "②给出的中评大于2个；\r\n"
             "③给出的差评大于1个；\r\n"
             "④最近一周内交易超过5笔；\r\n"
             "⑤最近一月内交易超过20笔。\r\n"
             "\r\n"
             "■判定安全等级为未知（淘宝身份为卖家或天猫）■\r\n"
             "由于淘宝卖家或天猫无法查询其信用明细，\r\n"
             "因此无法判定安全等级是否安全或危险。\r\n"
             "\r\n"
             "■说明和提醒■\r\n"
             "有可能某账号在一个星期内的交易超过5笔，\r\n"
             "但是此人的此账号未对商品进行评价，\r\n"
             "这时此账号的评价数据当然也就不会改变了。\r\n"
             "所以这一点还是在这说明，并提醒大家一下。\r\n"
             "\r\n"
             "■软件说明■\r\n"
             "输入淘宝账号后按回车，或点击“查询”按钮开始查询。\r\n"
             "所有数据都是从官方获取的。\r\n"
             "如果某项信息显示颜色为红色，就得注意下了哦！\r\n"
             "如果某项信息为空，说明官方此项信息也为空。\r\n"
             "在查询后，如果想查看官方的详细信息，\r\n"
             "可单击“安全等级”图片。");
}

Text rating_page_address(const Text& id) {
  return gbk(std::string("http://") + config::rating_host() + "/user-rate-") + id + gbk(".htm");
}

void show_close_prompt() {
  Desktop& desktop = *platform().desktop;
  const int answer = desktop.message_box(
      gbk("更多精彩，请点击“确定”！\r\n\r\n关闭软件，请点击“取消”！ "), gbk("更多精彩："),
      kStyleInformationOkCancel);
  if (answer == kResultOk) desktop.open_address(gbk(config::maker_page()));
}

void show_about_box() {
  platform().desktop->message_box(about_text(), gbk("关于软件："), kStyleInformationOk);
}

void show_instructions_box() {
  platform().desktop->message_box(instructions_text(), gbk("使用说明："), kStyleInformationOk);
}

void open_rating_page() {
  const Text id = platform().window->read_text(controls::编辑框id);
  if (id.empty()) return;
  platform().desktop->open_address(rating_page_address(id));
}

void on_account_key(int key_code) {
  if (key_code == 13) run_query();
}

} // namespace zembrik
