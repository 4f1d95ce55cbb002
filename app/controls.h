#pragma once
#include "platform/window.h"

// The names of the main window's controls, as the window description gives them.
namespace zembrik::controls {

inline constexpr ControlName 超级按钮_说明 = "超级按钮_说明";
inline constexpr ControlName 超级按钮_关于 = "超级按钮_关于";
inline constexpr ControlName 超级链接框_宣传 = "超级链接框_宣传";
inline constexpr ControlName 标签横杠地区 = "标签横杠地区";
inline constexpr ControlName 标签横杠认证 = "标签横杠认证";
inline constexpr ControlName 标签横杠日期 = "标签横杠日期";
inline constexpr ControlName 标签横杠id = "标签横杠id";
inline constexpr ControlName 标签横杠账号 = "标签横杠账号";
inline constexpr ControlName 编辑框安全 = "编辑框安全";
inline constexpr ControlName 图片框安全 = "图片框安全";
inline constexpr ControlName 编辑框id = "编辑框id";
inline constexpr ControlName 标签9 = "标签9";
inline constexpr ControlName 编辑框地区 = "编辑框地区";
inline constexpr ControlName 编辑框认证 = "编辑框认证";
inline constexpr ControlName 编辑框日期 = "编辑框日期";
inline constexpr ControlName 编辑框账号 = "编辑框账号";
inline constexpr ControlName 标签4 = "标签4";
inline constexpr ControlName 标签3 = "标签3";
inline constexpr ControlName 标签注册时间 = "标签注册时间";
inline constexpr ControlName 标签1 = "标签1";
inline constexpr ControlName 分组框账号信息 = "分组框账号信息";
inline constexpr ControlName 标签2 = "标签2";
inline constexpr ControlName 编辑框用户名 = "编辑框用户名";
inline constexpr ControlName 超级按钮查询 = "超级按钮查询";
inline constexpr ControlName 分组框查询 = "分组框查询";
inline constexpr ControlName 标签横杠好评率 = "标签横杠好评率";
inline constexpr ControlName 标签横杠信用 = "标签横杠信用";
inline constexpr ControlName 标签横杠差评 = "标签横杠差评";
inline constexpr ControlName 标签横杠中评 = "标签横杠中评";
inline constexpr ControlName 图片框信用 = "图片框信用";
inline constexpr ControlName 标签7 = "标签7";
inline constexpr ControlName 标签6 = "标签6";
inline constexpr ControlName 编辑框年前差 = "编辑框年前差";
inline constexpr ControlName 编辑框年前中 = "编辑框年前中";
inline constexpr ControlName 编辑框年前好 = "编辑框年前好";
inline constexpr ControlName 编辑框半年差 = "编辑框半年差";
inline constexpr ControlName 编辑框半年中 = "编辑框半年中";
inline constexpr ControlName 编辑框半年好 = "编辑框半年好";
inline constexpr ControlName 编辑框一月差 = "编辑框一月差";
inline constexpr ControlName 编辑框一月中 = "编辑框一月中";
inline constexpr ControlName 编辑框一月好 = "编辑框一月好";
inline constexpr ControlName 编辑框一周差 = "编辑框一周差";
inline constexpr ControlName 编辑框一周中 = "编辑框一周中";
inline constexpr ControlName 编辑框一周好 = "编辑框一周好";
inline constexpr ControlName 标签23 = "标签23";
inline constexpr ControlName 标签28 = "标签28";
inline constexpr ControlName 标签18 = "标签18";
inline constexpr ControlName 标签13 = "标签13";
inline constexpr ControlName 标签11 = "标签11";
inline constexpr ControlName 标签12 = "标签12";
inline constexpr ControlName 编辑框好评率 = "编辑框好评率";
inline constexpr ControlName 标签10 = "标签10";
inline constexpr ControlName 编辑框差评 = "编辑框差评";
inline constexpr ControlName 编辑框信用 = "编辑框信用";
inline constexpr ControlName 编辑框中评 = "编辑框中评";
inline constexpr ControlName 标签8 = "标签8";
inline constexpr ControlName 标签评价 = "标签评价";
inline constexpr ControlName 标签买家 = "标签买家";
inline constexpr ControlName 标签5 = "标签5";
inline constexpr ControlName 分组框信用及评价信息 = "分组框信用及评价信息";
inline constexpr ControlName 分组框安全内容 = "分组框安全内容";

} // namespace zembrik::controls
