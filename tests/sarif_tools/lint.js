// 名前: 表
var 幅 = 1;
function f(a) {
	var unused = "表";
	return 幅 == a
}
f(2);
