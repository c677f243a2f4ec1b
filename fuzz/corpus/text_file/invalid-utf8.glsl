// café ÿþ
void main() {}