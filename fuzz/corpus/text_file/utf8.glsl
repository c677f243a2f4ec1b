// été € 😀
void main() {}
