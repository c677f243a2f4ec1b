// void main() {}
#define M \
 main() {}
"main() {}"
void mainImage(out vec4 c, vec2 p) { c = vec4(1); }
/* void main(){} */
