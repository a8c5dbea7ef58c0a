// Writes a 32 x 32 run-length 4-bit bitmap with OpenJDK's own BMP writer: a colour wheel over a
// grey ramp, drawn into the 16 colours of the classic VGA palette. The writer's stream loses
// step with its rows, so readers show it only by reading the runs as ImageMagick does.
// Usage: javac -d DIR RunLength4Bitmap.java && java -cp DIR RunLength4Bitmap OUT.bmp
import java.awt.Color;
import java.awt.Graphics2D;
import java.awt.image.BufferedImage;
import java.awt.image.IndexColorModel;
import java.io.File;
import javax.imageio.IIOImage;
import javax.imageio.ImageIO;
import javax.imageio.ImageWriteParam;
import javax.imageio.ImageWriter;
import javax.imageio.stream.ImageOutputStream;

public class RunLength4Bitmap {
    public static void main(String[] args) throws Exception {
        int[] vga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
                     0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF,
                     0x00FFFF, 0xFFFFFF};
        byte[] r = new byte[16], g = new byte[16], b = new byte[16];
        for (int i = 0; i < 16; i++) {
            r[i] = (byte) (vga[i] >> 16);
            g[i] = (byte) (vga[i] >> 8);
            b[i] = (byte) vga[i];
        }
        BufferedImage rgb = new BufferedImage(32, 32, BufferedImage.TYPE_INT_RGB);
        for (int y = 0; y < 32; y++) {
            for (int x = 0; x < 32; x++) {
                double dx = x - 15.5, dy = y - 15.5, d = Math.hypot(dx, dy);
                float hue = (float) (Math.atan2(dy, dx) / (2 * Math.PI));
                rgb.setRGB(x, y, d < 14 ? Color.HSBtoRGB(hue, (float) Math.min(1, d / 10), 1f)
                                        : Color.HSBtoRGB(0, 0, (x + y) / 62f));
            }
        }
        BufferedImage image = new BufferedImage(32, 32, BufferedImage.TYPE_BYTE_BINARY,
                                                new IndexColorModel(4, 16, r, g, b));
        Graphics2D painter = image.createGraphics();
        painter.drawImage(rgb, 0, 0, null);
        painter.dispose();

        ImageWriter writer = ImageIO.getImageWritersByFormatName("bmp").next();
        ImageWriteParam param = writer.getDefaultWriteParam();
        param.setCompressionMode(ImageWriteParam.MODE_EXPLICIT);
        param.setCompressionType("BI_RLE4");
        try (ImageOutputStream out = ImageIO.createImageOutputStream(new File(args[0]))) {
            writer.setOutput(out);
            writer.write(null, new IIOImage(image, null, null), param);
        }
    }
}
