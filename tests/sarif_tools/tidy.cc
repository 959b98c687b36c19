// SPDX-License-Identifier: MIT
// 名前: 表の幅
int *find(int key);
int width(int 量) {
	int *p = 0;
	if (量 > 0)
		return 量;
	return p == 0 ? 1 : 2;
}
